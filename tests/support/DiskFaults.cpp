#include "DiskFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <linux/capability.h>
#include <linux/securebits.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>

namespace pendra::test {

namespace {

bool g_inNamespace = false;

bool writeText(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), std::size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// Keeps only the right to mount: without CAP_DAC_OVERRIDE and its kin even
// uid 0 meets file permissions, and the programs the tests start gain no
// capabilities back when they run as uid 0.
bool keepOnlyMounting()
{
    if (::prctl(PR_SET_SECUREBITS, SECBIT_NOROOT | SECBIT_NOROOT_LOCKED) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    data[CAP_SYS_ADMIN / 32].effective = data[CAP_SYS_ADMIN / 32].permitted = 1u << (CAP_SYS_ADMIN % 32);
    return ::syscall(SYS_capset, &header, data) == 0;
}

bool probeWriteRefused(const QString& folder)
{
    const QByteArray probe = QDir(folder).filePath(QStringLiteral(".probe")).toLocal8Bit();
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return true;
    ::close(fd);
    ::unlink(probe.constData());
    return false;
}

} // namespace

void DiskFaults::prepare()
{
    // Set to try the fallbacks that machines without namespaces get.
    if (qEnvironmentVariableIsSet("PENDRA_TESTS_WITHOUT_NAMESPACES"))
        return;
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return;
    g_inNamespace = writeText("/proc/self/setgroups", "deny")
        && writeText("/proc/self/uid_map", QByteArray::number(uid) + ' ' + QByteArray::number(uid) + " 1")
        && writeText("/proc/self/gid_map", QByteArray::number(gid) + ' ' + QByteArray::number(gid) + " 1")
        && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 && keepOnlyMounting();
    if (!g_inNamespace)
        std::fprintf(stderr, "disk faults: could not set up a private namespace; some cases will be skipped\n");
}

bool DiskFaults::permissionsHold()
{
    static const bool hold = [] {
        QTemporaryDir dir;
        ::chmod(dir.path().toLocal8Bit().constData(), 0555);
        const bool refused = probeWriteRefused(dir.path());
        ::chmod(dir.path().toLocal8Bit().constData(), 0755);
        return refused;
    }();
    return hold;
}

bool DiskFaults::canMount()
{
    return g_inNamespace;
}

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path)
{
    ::chmod(m_path.toLocal8Bit().constData(), 0555);
    m_holds = probeWriteRefused(m_path);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    ::chmod(m_path.toLocal8Bit().constData(), 0755);
}

FullDisk::FullDisk(const QString& folder) : m_folder(folder)
{
    QDir().mkpath(folder);
    if (DiskFaults::canMount())
        m_mounted = ::mount("pendra-test", folder.toLocal8Bit().constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                            "size=256k,mode=0755")
            == 0;
}

FullDisk::~FullDisk()
{
    drain();
    if (m_mounted)
        ::umount2(m_folder.toLocal8Bit().constData(), MNT_DETACH);
}

void FullDisk::fill(qint64 leaveFree)
{
    if (m_filled)
        return;
    m_filled = true;
    if (m_mounted) {
        QFile filler(QDir(m_folder).filePath(QStringLiteral(".filler")));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            const QByteArray block(4096, 'f');
            while (filler.write(block) > 0) {
            }
            // Whatever is left of a page goes too.
            while (filler.write(block.left(1)) > 0) {
            }
            if (leaveFree > 0)
                filler.resize(std::max<qint64>(0, filler.size() - leaveFree));
        }
        return;
    }
    ::getrlimit(RLIMIT_FSIZE, &m_limit);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = m_limit;
    none.rlim_cur = rlim_t(leaveFree);
    ::setrlimit(RLIMIT_FSIZE, &none);
}

void FullDisk::drain()
{
    if (!m_filled)
        return;
    m_filled = false;
    if (m_mounted)
        QFile::remove(QDir(m_folder).filePath(QStringLiteral(".filler")));
    else
        ::setrlimit(RLIMIT_FSIZE, &m_limit);
}

} // namespace pendra::test
