#pragma once

#include <QString>

#include <sys/resource.h>

namespace pendra::test {

// Stages the disk faults a user's machine can have: folders that refuse
// writes and disks that are full. Test programs call prepare() first thing in
// main; it moves the process into a private user and mount namespace (when the
// system allows one) and gives up the right to override file permissions, so a
// read-only folder refuses even a test run as root, and small disks can be
// mounted that vanish with the process. Without namespaces, a full disk is
// staged with a file-size limit instead, and read-only folders only work when
// the tests do not run as root.
class DiskFaults {
public:
    // Must run while the process has a single thread.
    static void prepare();
    static bool permissionsHold();
    static bool canMount();
};

// A folder made read-only for as long as the object lives.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    // False when this process can write there anyway.
    bool holds() const { return m_holds; }

private:
    QString m_path;
    bool m_holds = false;
};

// A disk, or a limit, under which nothing more can be written to files while
// the object is filled. With mounts it is a tiny file system at the folder
// (empty, it hides what the folder held until the object goes); without, it is
// a file-size limit for the whole process and the programs it starts.
class FullDisk {
public:
    explicit FullDisk(const QString& folder);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Takes up every free byte but the given number (or lowers the limit to
    // that number).
    void fill(qint64 leaveFree = 0);
    // Gives the space back.
    void drain();
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
    bool m_filled = false;
    rlimit m_limit{};
};

} // namespace pendra::test
