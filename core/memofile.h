#pragma once

#include <QByteArray>
#include <QString>

// The memo file (.MB) beside an old Paradox table: multi-line texts that do
// not fit into their record. Read here rather than through pxlib, whose
// memo reader aborts the process on Debian 12; every damage is a message,
// never a crash.
//
// A memo field of length n holds the first n-10 bytes of the text, then
// the blob's place (4 bytes: block offset, low byte the slot in the block
// or 0xff for a block of its own), its length (4 bytes) and modification
// number (2 bytes), little-endian. The file is made of 4096-byte blocks:
// block 0 the header (type 0), type 2 one blob (9 bytes of head: type,
// blocks, length, modification number), type 3 up to 64 small blobs (a
// table of 5-byte slots from byte 12: offset/16, size/16 rounded up,
// modification number, size mod 16).
class MemoFile {
public:
    // Reads the whole file; an empty path stands for "no memo file".
    // Throws nothing: a file that cannot be read or is no memo file gives
    // every later read a fault that names it.
    explicit MemoFile(const QByteArray &path = {});

    bool present() const { return !m_path.isEmpty(); }
    // Why the file cannot be used at all; empty when it can.
    QString problem() const { return m_problem; }

    // The text bytes of one memo field of a record, as stored (no code page
    // applied). A null array for an empty field. On damage, returns false
    // and sets why.
    bool read(const char *field, int length, QByteArray *text, QString *why) const;

    static constexpr int BlockSize = 4096;
    static constexpr int Trailer = 10;

private:
    QByteArray m_path;
    QByteArray m_bytes;
    QString m_problem;
};
