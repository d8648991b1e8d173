#include "avformatpeer.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace vl::bench {

namespace {

// libavformat's default I/O buffer size.
constexpr int ioBufferSize = 32 * 1024;

// The file behind the I/O context: reads at an explicit position, counted.
struct CountingFile
{
    int fd = -1;
    uint64_t size = 0;
    uint64_t position = 0;
    uint64_t bytesRead = 0;

    ~CountingFile()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

int readPacket(void* opaque, uint8_t* buffer, int size)
{
    auto* file = static_cast<CountingFile*>(opaque);
    for (;;) {
        const ssize_t got = ::pread(file->fd, buffer, static_cast<size_t>(size), static_cast<off_t>(file->position));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return AVERROR(errno);
        }
        if (got == 0) {
            return AVERROR_EOF;
        }
        file->position += static_cast<uint64_t>(got);
        file->bytesRead += static_cast<uint64_t>(got);
        return static_cast<int>(got);
    }
}

int64_t seekFile(void* opaque, int64_t offset, int whence)
{
    auto* file = static_cast<CountingFile*>(opaque);
    if (whence & AVSEEK_SIZE) {
        return static_cast<int64_t>(file->size);
    }
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = static_cast<int64_t>(file->position);
        break;
    case SEEK_END:
        base = static_cast<int64_t>(file->size);
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (base + offset < 0) {
        return AVERROR(EINVAL);
    }
    file->position = static_cast<uint64_t>(base + offset);
    return base + offset;
}

struct IoContextFree
{
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

struct FormatContextClose
{
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// libavformat names MPEG audio in ISO media files MP3 whatever the layer.
bool isMpegAudio(const AVCodecParameters& codec)
{
    return codec.codec_type == AVMEDIA_TYPE_AUDIO
        && (codec.codec_id == AV_CODEC_ID_MP1 || codec.codec_id == AV_CODEC_ID_MP2
            || codec.codec_id == AV_CODEC_ID_MP3);
}

} // namespace

AvformatPeer::AvformatPeer()
{
    av_log_set_level(AV_LOG_QUIET);
}

PeerResult AvformatPeer::probe(const std::string& path) const
{
    PeerResult result;
    CountingFile file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        return result;
    }
    file.size = static_cast<uint64_t>(st.st_size);

    auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
    std::unique_ptr<AVIOContext, IoContextFree> io(
        avio_alloc_context(buffer, ioBufferSize, 0, &file, readPacket, nullptr, seekFile));
    if (!io) {
        av_free(buffer);
        return result;
    }
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        return result;
    }
    raw->pb = io.get();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
        result.bytesRead = file.bytesRead;
        return result;
    }
    const std::unique_ptr<AVFormatContext, FormatContextClose> context(raw);
    result.opened = avformat_find_stream_info(context.get(), nullptr) >= 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& codec = *context->streams[i]->codecpar;
        if (isMpegAudio(codec)) {
            result.mpegAudio = true;
            result.sampleRate = codec.sample_rate;
            result.channels = codec.ch_layout.nb_channels;
            break;
        }
    }
    result.bytesRead = file.bytesRead;
    return result;
}

} // namespace vl::bench
