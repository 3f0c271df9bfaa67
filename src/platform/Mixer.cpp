#include "Mixer.h"
#include "MixerFile.h"
#include "MixerScale.h"

#include <alsa/asoundlib.h>

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace platform {
namespace {

constexpr std::uint32_t kFullVolume = 0xFFFFFFFF;

// Stands in where no mixer can be reached: keeps the value for this process.
class LocalMixer final : public IMixer {
public:
    std::uint32_t volume() override { return m_volume; }
    void setVolume(std::uint32_t volume) override { m_volume = volume; }

private:
    std::uint32_t m_volume = kFullVolume;
};

std::optional<std::uint32_t> parseVolumeText(const QByteArray& text) {
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok, 10);
    if (!ok || value > kFullVolume) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// A file standing in for the mixer, so tests see every write. The value is
// read once; an unreadable file counts as full volume.
class FileMixer final : public IMixer {
public:
    explicit FileMixer(QString path) : m_path(std::move(path)) {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            m_volume = parseVolumeText(file.read(64)).value_or(kFullVolume);
        }
    }
    std::uint32_t volume() override { return m_volume; }
    void setVolume(std::uint32_t volume) override {
        m_volume = volume;
        // Replaced whole, so a reader never sees half a number.
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(QByteArray::number(volume));
        file.commit();
    }

private:
    QString m_path;
    std::uint32_t m_volume = kFullVolume;
};

void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct MixerCloser {
    void operator()(snd_mixer_t* m) const { snd_mixer_close(m); }
};
using MixerHandle = std::unique_ptr<snd_mixer_t, MixerCloser>;

// The ALSA simple mixer of the default device, element "Master" else "PCM".
// The handle stays open for the run; each channel maps 0..65535 linearly onto
// the element's range.
class AlsaMixer final : public IMixer {
public:
    static std::unique_ptr<AlsaMixer> open() {
        snd_lib_error_set_handler(&silentAlsaError);
        snd_mixer_t* raw = nullptr;
        if (snd_mixer_open(&raw, 0) < 0 || !raw) return nullptr;
        MixerHandle handle(raw);
        if (snd_mixer_attach(raw, "default") < 0) return nullptr;
        if (snd_mixer_selem_register(raw, nullptr, nullptr) < 0) return nullptr;
        if (snd_mixer_load(raw) < 0) return nullptr;
        snd_mixer_elem_t* elem = nullptr;
        for (const char* name : {"Master", "PCM"}) {
            snd_mixer_selem_id_t* id = nullptr;
            if (snd_mixer_selem_id_malloc(&id) < 0 || !id) return nullptr;
            snd_mixer_selem_id_set_index(id, 0);
            snd_mixer_selem_id_set_name(id, name);
            elem = snd_mixer_find_selem(raw, id);
            snd_mixer_selem_id_free(id);
            if (elem && snd_mixer_selem_has_playback_volume(elem)) break;
            elem = nullptr;
        }
        if (!elem) return nullptr;
        long min = 0;
        long max = 0;
        if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0 || max <= min) return nullptr;
        return std::unique_ptr<AlsaMixer>(new AlsaMixer(std::move(handle), elem, min, max));
    }

    std::uint32_t volume() override {
        snd_mixer_handle_events(m_handle.get());
        const std::uint32_t left = toChannel(read(SND_MIXER_SCHN_FRONT_LEFT));
        const std::uint32_t right =
            snd_mixer_selem_is_playback_mono(m_elem) ? left : toChannel(read(SND_MIXER_SCHN_FRONT_RIGHT));
        return left | (right << 16);
    }

    void setVolume(std::uint32_t volume) override {
        const long left = fromChannel(volume & 0xFFFF);
        const long right = fromChannel(volume >> 16);
        if (snd_mixer_selem_is_playback_mono(m_elem)) {
            snd_mixer_selem_set_playback_volume_all(m_elem, std::max(left, right));
            return;
        }
        snd_mixer_selem_set_playback_volume(m_elem, SND_MIXER_SCHN_FRONT_LEFT, left);
        snd_mixer_selem_set_playback_volume(m_elem, SND_MIXER_SCHN_FRONT_RIGHT, right);
    }

private:
    AlsaMixer(MixerHandle handle, snd_mixer_elem_t* elem, long min, long max)
        : m_handle(std::move(handle)), m_elem(elem), m_min(min), m_max(max) {}

    long read(snd_mixer_selem_channel_id_t channel) const {
        long value = m_min;
        if (snd_mixer_selem_get_playback_volume(m_elem, channel, &value) < 0) value = m_min;
        return value;
    }
    std::uint32_t toChannel(long value) const { return mixerToChannel(value, m_min, m_max); }
    long fromChannel(std::uint32_t channel) const { return channelToMixer(channel, m_min, m_max); }

    MixerHandle m_handle;
    snd_mixer_elem_t* m_elem;
    long m_min;
    long m_max;
};

}  // namespace

std::unique_ptr<IMixer> makeFileMixer(const std::string& path) {
    return std::make_unique<FileMixer>(QString::fromStdString(path));
}

namespace {

std::unique_ptr<IMixer> makeSystemMixer() {
    const char* file = std::getenv("VISTROVA_MIXER_FILE");
    if (file && *file) return std::make_unique<FileMixer>(QString::fromLocal8Bit(file));
    if (auto alsa = AlsaMixer::open()) return alsa;
    return std::make_unique<LocalMixer>();
}

}  // namespace

IMixer& systemMixer() {
    static const std::unique_ptr<IMixer> mixer = makeSystemMixer();
    return *mixer;
}

}  // namespace platform
