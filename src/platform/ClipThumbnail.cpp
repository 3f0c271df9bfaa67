#include "ClipThumbnail.h"

#include "PictureRules.h"
#include "shared/FileKinds.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <QTransform>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
// However the file behaves (a huge or endless stream, a slow disk), a clip
// gets this long.
constexpr auto kTimeBound = std::chrono::seconds(5);
// Packets read before giving up on reaching a frame.
constexpr int kMostPackets = 3000;
// The demuxers of clips; play lists and the like are none.
constexpr const char* kContainers =
    "avi,mpeg,mpegts,mpegvideo,m4v,h264,hevc,mov,matroska,asf,flv,ogg,rm,nut,mxf,dv,ivf,wtv";
// Frames bigger than this count as no picture: the decoder's own buffers
// come on top of the frame.
constexpr std::int64_t kMostFramePixels = std::int64_t(pictures::kDecodeBudgetBytes / 16);

struct FormatClose {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct ScaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

int pastDeadline(void* deadline) { return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? 1 : 0; }

// Where the frame is taken: a tenth into the clip, at most half a minute.
std::int64_t pointOf(std::int64_t duration) {
    if (duration <= 0) return 0;
    return std::min<std::int64_t>(duration / 10, std::int64_t(30) * AV_TIME_BASE);
}

QImage toImage(const AVFrame* frame, AVRational sampleAspect, int box) {
    double width = frame->width;
    if (sampleAspect.num > 0 && sampleAspect.den > 0) width *= av_q2d(sampleAspect);
    const double scale = std::min(1.0, std::min(box / width, double(box) / frame->height));
    const int w = std::max(1, int(std::lround(width * scale)));
    const int h = std::max(1, int(std::lround(frame->height * scale)));
    const std::unique_ptr<SwsContext, ScaleFree> sws(
        sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), w, h, AV_PIX_FMT_RGB32,
                       SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!sws) return {};
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return {};
    uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) != h) return {};
    return image;
}

// Phones store upright clips sideways with a matrix that turns them.
QImage turned(const QImage& image, const AVStream* stream) {
    const auto* matrix =
        reinterpret_cast<const int32_t*>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix) return image;
    const double degrees = -av_display_rotation_get(matrix);
    if (std::isnan(degrees)) return image;
    const int quarter = int(std::lround(degrees / 90.0)) & 3;
    return quarter == 0 ? image : image.transformed(QTransform().rotate(90.0 * quarter));
}

}  // namespace

QImage clipThumbnail(const QString& path, int box) {
    const QByteArray name = QFile::encodeName(path);
    if (box <= 0 || !files::isOpenableFile(name.toStdString())) return {};
    Clock::time_point deadline = Clock::now() + kTimeBound;

    AVFormatContext* opened = avformat_alloc_context();
    if (!opened) return {};
    opened->interrupt_callback = {pastDeadline, &deadline};
    AVDictionary* options = nullptr;
    // The file alone, read by the containers of clips: a play list or a
    // reference file (HLS, concat, image sequences) must not reach for other
    // files, devices or the network.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    const int openResult = avformat_open_input(&opened, name.constData(), nullptr, &options);
    av_dict_free(&options);
    if (openResult < 0) return {};  // the context is freed on failure
    const std::unique_ptr<AVFormatContext, FormatClose> format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return {};

    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || !codec) return {};
    AVStream* stream = format->streams[index];
    const AVCodecParameters* parameters = stream->codecpar;
    if (parameters->width <= 0 || parameters->height <= 0 ||
        std::int64_t(parameters->width) * parameters->height > kMostFramePixels)
        return {};
    const std::unique_ptr<AVCodecContext, CodecFree> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), parameters) < 0) return {};
    decoder->thread_count = 1;
    decoder->max_pixels = kMostFramePixels;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return {};
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != index) format->streams[i]->discard = AVDISCARD_ALL;

    // A cover picture stands for the whole file; a clip is sought into.
    const bool cover = (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
    std::int64_t wanted = AV_NOPTS_VALUE;
    if (!cover) {
        const std::int64_t point = pointOf(format->duration);
        if (point > 0 && av_seek_frame(format.get(), -1, point, AVSEEK_FLAG_BACKWARD) >= 0) {
            avcodec_flush_buffers(decoder.get());
            wanted = av_rescale_q(point, AV_TIME_BASE_Q, stream->time_base);
            if (stream->start_time != AV_NOPTS_VALUE) wanted += stream->start_time;
        }
    }

    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, FrameFree> received(av_frame_alloc());
    // The last frame decoded: a frame before the point serves when none follows.
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!packet || !received || !frame) return {};
    bool have = false;
    const auto receive = [&] {
        while (avcodec_receive_frame(decoder.get(), received.get()) == 0) {
            av_frame_unref(frame.get());
            av_frame_move_ref(frame.get(), received.get());
            have = true;
            if (wanted == AV_NOPTS_VALUE || frame->best_effort_timestamp == AV_NOPTS_VALUE ||
                frame->best_effort_timestamp >= wanted)
                return true;
        }
        return false;
    };
    bool done = false;
    for (int n = 0; n < kMostPackets && !done && Clock::now() < deadline; ++n) {
        const int read = av_read_frame(format.get(), packet.get());
        if (read < 0) {
            avcodec_send_packet(decoder.get(), nullptr);  // the end: what the decoder holds
            done = receive();
            break;
        }
        if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet.get()) >= 0) done = receive();
        av_packet_unref(packet.get());
    }
    if (!have || frame->width <= 0 || frame->height <= 0 ||
        std::int64_t(frame->width) * frame->height > kMostFramePixels)
        return {};
    const AVRational aspect = frame->sample_aspect_ratio.num > 0 ? frame->sample_aspect_ratio
                                                                 : stream->sample_aspect_ratio;
    return turned(toImage(frame.get(), aspect, box), stream);
}

}  // namespace platform
