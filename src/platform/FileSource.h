#pragma once
// A file's bytes for the header checks and the profile search, read in
// blocks: walking a GIF's or a JPEG's segments asks for a few bytes at a time.

#include "PictureRules.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstring>

namespace platform {

class FileSource final : public pictures::ByteSource {
public:
    explicit FileSource(const QString& path) : m_file(path) { m_open = m_file.open(QIODevice::ReadOnly); }
    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        std::size_t done = 0;
        while (done < count && m_open) {
            const std::uint64_t at = offset + done;
            if (at < m_blockAt || at >= m_blockAt + std::uint64_t(m_block.size())) {
                if (at > std::uint64_t(m_file.size()) || !m_file.seek(qint64(at))) break;
                m_block = m_file.read(kBlock);
                m_blockAt = at;
                if (m_block.isEmpty()) break;
            }
            const std::size_t inBlock = std::size_t(at - m_blockAt);
            const std::size_t n = std::min(count - done, std::size_t(m_block.size()) - inBlock);
            std::memcpy(into + done, m_block.constData() + inBlock, n);
            done += n;
        }
        return done;
    }

private:
    static constexpr qint64 kBlock = 64 * 1024;
    QFile m_file;
    bool m_open = false;
    QByteArray m_block;
    std::uint64_t m_blockAt = 0;
};

}  // namespace platform
