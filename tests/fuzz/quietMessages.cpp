// Every fuzz target rejects most of its inputs with a warning; written out, those lines
// would cost more time than the code under test.
#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}
