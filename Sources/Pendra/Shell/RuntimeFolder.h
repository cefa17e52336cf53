#pragma once

#include <QString>

#include <optional>

namespace pendra {

// The folder for the files that tie a user's programs together while they run
// (the single-instance socket and its lock). It has to be private to the user:
// a folder that someone else can write to would let them block the socket or
// answer in the program's place.
class RuntimeFolder {
public:
    // $XDG_RUNTIME_DIR, which the login session makes for the user alone; when
    // that is unset, a folder of our own in the temporary folder. None, with
    // the reason, when no private folder can be had.
    static std::optional<QString> locate(QString* error);

    // The same rule with its inputs given: the value of XDG_RUNTIME_DIR, the
    // temporary folder and the user the folder must belong to.
    static std::optional<QString> locate(const QString& runtimeDir, const QString& tempDir, uint user,
                                         QString* error);
};

} // namespace pendra
