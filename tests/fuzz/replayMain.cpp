// Runs a fuzz target over saved inputs instead of the fuzzer's own main, so that the
// seed corpus and every input that once broke the program stay regression tests in
// builds without libFuzzer. Arguments are input files or folders of them.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static bool replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray input = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    return true;
}

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QStringList inputs{path};
        if (QFileInfo(path).isDir()) {
            inputs.clear();
            for (const QFileInfo &entry : QDir(path).entryInfoList(QDir::Files, QDir::Name))
                inputs << entry.filePath();
        }
        for (const QString &input : inputs) {
            if (!replay(input))
                return 1;
            ++count;
        }
    }
    std::printf("Replayed %d inputs\n", count);
    // A folder that lost its inputs must not pass as a clean run.
    return count > 0 ? 0 : 1;
}
