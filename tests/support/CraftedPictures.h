#pragma once
// Hostile pictures the tests make themselves: tiny files that claim huge
// pictures or carry huge hidden payloads (decompression bombs).

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>

namespace crafted {

inline QByteArray be32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}
inline QByteArray le16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
inline QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
// A zlib stream of `bytes` (qCompress puts the length first).
inline QByteArray zlibOf(const QByteArray& bytes) { return qCompress(bytes, 9).mid(4); }

inline bool save(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A real 16 x 16 progressive JPEG whose frame header then claims w x h.
inline bool progressiveJpeg(const QString& path, quint16 w, quint16 h) {
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::gray);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    if (!writer.write(small)) return false;
    QByteArray bytes = buffer.data();
    const qsizetype sof = bytes.indexOf("\xFF\xC2");
    if (sof < 0) return false;
    qToBigEndian(h, bytes.data() + sof + 5);
    qToBigEndian(w, bytes.data() + sof + 7);
    return save(path, bytes);
}

inline quint32 crc32Of(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray typed = QByteArray(type, 4) + data;
    return be32(quint32(data.size())) + typed + be32(crc32Of(typed));
}

// A 64 x 64 PNG with `count` zTXt chunks, each unpacking to `textBytes`.
inline bool pngWithTexts(const QString& path, int count, int textBytes) {
    const QByteArray row = QByteArray(1, '\0') + QByteArray(64 * 3, '\x80');
    QByteArray header = be32(64) + be32(64) + QByteArray("\x08\x02\0\0\0", 5);
    const QByteArray text = pngChunk("zTXt", QByteArray("Comment\0\0", 9) + zlibOf(QByteArray(textBytes, 'A')));
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n") + pngChunk("IHDR", header);
    for (int i = 0; i < count; ++i) png += text;
    png += pngChunk("IDAT", zlibOf(row.repeated(64))) + pngChunk("IEND", {});
    return save(path, png);
}

// A PNG whose header claims `side` x `side`, with a few bytes of data.
inline bool hugePng(const QString& path, quint32 side) {
    const QByteArray header = be32(side) + be32(side) + QByteArray("\x08\x02\0\0\0", 5);
    return save(path, QByteArray("\x89PNG\r\n\x1a\n") + pngChunk("IHDR", header) +
                          pngChunk("IDAT", zlibOf(QByteArray(4096, '\0'))) + pngChunk("IEND", {}));
}

// A deflate TIFF of `side` x `side` RGB in a single strip.
inline bool deflateTiff(const QString& path, quint32 side) {
    const QByteArray strip = zlibOf(QByteArray(qsizetype(side) * side * 3, '\x80'));
    struct Entry {
        quint16 tag, type;
        quint32 value;
    };
    const quint32 dataAt = 8 + 2 + 9 * 12 + 4;
    const Entry entries[] = {{256, 4, side}, {257, 4, side}, {258, 3, 8}, {259, 3, 8}, {262, 3, 2},
                             {273, 4, dataAt}, {277, 3, 3}, {278, 4, side}, {279, 4, quint32(strip.size())}};
    QByteArray tiff = QByteArray("II*\0", 4) + le32(8) + le16(9);
    for (const Entry& e : entries)
        tiff += le16(e.tag) + le16(e.type) + le32(1) + (e.type == 3 ? le16(quint16(e.value)) + le16(0) : le32(e.value));
    return save(path, tiff + le32(0) + strip);
}

// A GIF of a `side` x `side` screen and `frames` frames of one pixel each.
inline bool gifOfFrames(const QString& path, quint16 side, int frames) {
    QByteArray gif = "GIF89a" + le16(side) + le16(side) + QByteArray("\x80\0\0\0\0\0\xFF\xFF\xFF", 9);
    gif += QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19);
    const QByteArray frame = QByteArray("\x21\xF9\x04\x04\x02\0\0\0\x2C", 9) + le16(0) + le16(0) + le16(1) + le16(1) +
                             QByteArray("\0\x02\x02\x44\x01\0", 6);
    return save(path, gif + frame.repeated(frames) + QByteArray("\x3B"));
}

}  // namespace crafted
