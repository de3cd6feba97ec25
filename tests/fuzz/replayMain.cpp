// Replays saved inputs (files or folders) through a fuzz target in builds without
// libFuzzer, so that the seed corpus and every input that once broke it stay tests.
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo argument(QString::fromLocal8Bit(argv[i]));
        const QFileInfoList inputs = argument.isDir()
            ? QDir(argument.filePath()).entryInfoList(QDir::Files, QDir::Name) : QFileInfoList{argument};
        for (const QFileInfo &input : inputs) {
            QFile file(input.filePath());
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "Cannot read %s\n", qPrintable(file.fileName()));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++count;
        }
    }
    std::printf("Replayed %d inputs\n", count);
    return count > 0 ? 0 : 1; // a folder that lost its inputs must not pass as a clean run
}
