#include "CLocalCopyThread.h"

#include <QFile>
#include <atomic>

#include "pc_file.h"

int32_t CLocalCopyThread::Run(const QString& src, const QString& dst, int32_t* status,
                              int32_t* cancel) {
    using zot::copy::CPcFile;
    zot::copy::Status outcome = zot::copy::kReadFailed;
    if (const auto in = CPcFile::OpenSource(QFile::encodeName(src).toStdString())) {
        const auto out = CPcFile::CreateDestination(QFile::encodeName(dst).toStdString());
        outcome = out ? zot::copy::Copy(*in, *out, status, cancel) : zot::copy::kCreateFailed;
    }
    std::atomic_ref<int32_t>(*status).store(outcome, std::memory_order_release);
    return outcome;
}

std::thread CLocalCopyThread::Start(const QString& src, const QString& dst, int32_t* status,
                                    int32_t* cancel) {
    return std::thread([src, dst, status, cancel] { Run(src, dst, status, cancel); });
}
