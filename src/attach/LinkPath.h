#pragma once
// The stored path of a linked file and the file on this machine it names.
#include <QString>

namespace zelm {

class Installation;

// Two link paths name the same link when they are equal after removing the blanks around
// them; the comparison is exact and case-sensitive.
bool sameLinkPath(const QString& a, const QString& b);

// The local file a stored path names: paths inside the old installation folder "c:\ZELM\"
// are read inside this installation, relative paths are taken from the installation folder.
// Other Windows paths (a drive letter or a network share) name no file here: empty result.
QString localFileOf(const Installation& inst, const QString& storedPath);

// True when a regular file exists at the stored path.
bool linkedFileExists(const Installation& inst, const QString& storedPath);

// True when the path can be stored whole: at most 128 bytes in Windows-1251 and no character
// that code page lacks. A path that does not fit would be stored cut or with "?" in it and
// name a file that does not exist.
bool fitsStoredPath(const QString& path);

} // namespace zelm
