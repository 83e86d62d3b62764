// libFuzzer's side of one target: FUZZ_TARGET names its entry function.
#include "tests/fuzz/FuzzTargets.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The link's timers want an application object; none of them ever fires.
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     int(size));
    const QString wrong = FuzzTargets::FUZZ_TARGET(bytes);
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", FUZZ_TARGET_NAME, qPrintable(wrong));
        std::abort();
    }
    return 0;
}
