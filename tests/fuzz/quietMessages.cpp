// Every fuzz target rejects most of its inputs with a warning (Qt's, or protobuf's for a
// bad string); written out, those lines would cost more time than the code under test.
#include <google/protobuf/stubs/logging.h>

#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    google::protobuf::SetLogHandler(nullptr);
    return 0;
}
