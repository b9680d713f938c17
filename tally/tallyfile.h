#pragma once

#include <QString>

class TallyTable;

// The tally file: the table's text form in an LZRW1/KH container (the
// compressor's Fast coding).
namespace TallyFile {

// The largest file, and the largest text a container may announce, that is
// read at all; a real tally stays far below.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
constexpr qint64 MaxTextSize = 64 * 1024 * 1024;

// The file beside the program: the folder, then "Zarvex" and "tally.tld"
// with nothing between them.
QString path();

// Reads the table. A container the compressor refuses raises its
// ELzrw1Exception; a file that cannot be opened, is too large or holds no
// readable table raises ETallyException. Both texts name the file.
TallyTable read(const QString &fileName);

// Writes the table whole beside the old file and renames it into place, so
// the old file stays as it was until the new one is complete. Raises
// ETallyException (or the compressor's error) when it cannot.
void write(const QString &fileName, const TallyTable &table);

// How many damaged files are kept aside at most.
constexpr int MaxKeptDamaged = 1000;

// Moves an unreadable file aside as fileName + ".damaged", or, when that is
// taken, ".damaged-2", ".damaged-3" and so on: a file kept earlier is never
// replaced. Answers the name it now has, or empty when it could not be moved.
QString keepDamaged(const QString &fileName);

} // namespace TallyFile
