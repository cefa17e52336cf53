#pragma once

#include <QByteArray>
#include <QString>

// Writing a file's whole content so that a failure leaves the old one whole.
namespace pendra::WholeFile {

enum class Mode {
    // Only ever through a temporary file beside the target that replaces it
    // once every byte is down; a symlink is followed and its target replaced.
    replace,
    // As replace, but where no temporary file can be made beside an existing
    // file (a read-only folder) the file is overwritten in place, and a target
    // that is no regular file (a pipe, a terminal, /dev/stdout) is written to
    // as it is, never replaced.
    replaceOrWriteInPlace,
};

// Answers false, with the reason in error, when the bytes could not all be
// written; with Mode::replace the old file is then untouched.
bool write(const QString& path, const QByteArray& bytes, QString* error, Mode mode = Mode::replace);

} // namespace pendra::WholeFile
