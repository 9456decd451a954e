#include "platform/screencast/ScreenCastStream.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <mutex>
#include <unistd.h>

namespace {

// Byte positions of red, green and blue in one 4-byte pixel of each accepted format.
struct Layout {
    spa_video_format format;
    int r, g, b;
};
constexpr Layout layouts[] = {
    {SPA_VIDEO_FORMAT_BGRx, 2, 1, 0}, {SPA_VIDEO_FORMAT_BGRA, 2, 1, 0},
    {SPA_VIDEO_FORMAT_RGBx, 0, 1, 2}, {SPA_VIDEO_FORMAT_RGBA, 0, 1, 2},
    {SPA_VIDEO_FORMAT_xRGB, 1, 2, 3}, {SPA_VIDEO_FORMAT_ARGB, 1, 2, 3},
    {SPA_VIDEO_FORMAT_xBGR, 3, 2, 1}, {SPA_VIDEO_FORMAT_ABGR, 3, 2, 1},
};

// The pointer picture is not used, but producers size the cursor block for one.
constexpr int cursorMetaSize(int side) {
    return sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap) + side * side * 4;
}

void initOnce() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

} // namespace

struct ScreenCastStream::Pw {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    spa_hook streamListener{};
    Layout layout{};
    int width = 0;
    int height = 0;
};

ScreenCastStream::ScreenCastStream() = default;

ScreenCastStream::~ScreenCastStream() {
    stop();
}

bool ScreenCastStream::start(int fd, std::uint32_t node) {
    stop();
    initOnce();
    auto pw = std::make_unique<Pw>();
    pw->loop = pw_thread_loop_new("vlfonts-screen", nullptr);
    if (!pw->loop) {
        ::close(fd);
        return false;
    }
    pw->context = pw_context_new(pw_thread_loop_get_loop(pw->loop), nullptr, 0);
    if (!pw->context || pw_thread_loop_start(pw->loop) < 0) {
        ::close(fd);
        if (pw->context)
            pw_context_destroy(pw->context);
        pw_thread_loop_destroy(pw->loop);
        return false;
    }
    pw_ = std::move(pw);
    {
        std::lock_guard lock(frameLock_);
        progress_ = Progress{};
        pointerKnown_ = false;
    }

    pw_thread_loop_lock(pw_->loop);
    pw_->core = pw_context_connect_fd(pw_->context, fd, nullptr, 0); // takes the fd
    if (pw_->core) {
        pw_->stream =
            pw_stream_new(pw_->core, "vlfonts magnifier",
                          pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                            "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    }
    bool connected = false;
    if (pw_->stream) {
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.state_changed = [](void* self, pw_stream_state, pw_stream_state state, const char*) {
                static_cast<ScreenCastStream*>(self)->onState(state);
            };
            e.param_changed = [](void* self, uint32_t id, const spa_pod* param) {
                if (id == SPA_PARAM_Format)
                    static_cast<ScreenCastStream*>(self)->onFormat(param);
            };
            e.process = [](void* self) { static_cast<ScreenCastStream*>(self)->onProcess(); };
            // A new format takes the buffers away, the one kept for the window too.
            e.remove_buffer = [](void* self, pw_buffer* buffer) {
                auto* stream = static_cast<ScreenCastStream*>(self);
                std::lock_guard lock(stream->frameLock_);
                if (stream->held_ == buffer)
                    stream->held_ = nullptr;
            };
            return e;
        }();
        pw_stream_add_listener(pw_->stream, &pw_->streamListener, &events, this);

        // Memory formats only: the picture is read by the processor, never by a GPU.
        std::uint8_t buffer[1024];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
        const spa_rectangle defSize = SPA_RECTANGLE(1920, 1080);
        const spa_rectangle minSize = SPA_RECTANGLE(1, 1);
        const spa_rectangle maxSize = SPA_RECTANGLE(16384, 16384);
        const spa_fraction defRate = SPA_FRACTION(30, 1);
        const spa_fraction minRate = SPA_FRACTION(0, 1);
        const spa_fraction maxRate = SPA_FRACTION(1000, 1);
        const spa_pod* params[1];
        params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
            SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
            SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
            SPA_POD_CHOICE_ENUM_Id(
                9, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA, SPA_VIDEO_FORMAT_xRGB,
                SPA_VIDEO_FORMAT_ARGB, SPA_VIDEO_FORMAT_xBGR, SPA_VIDEO_FORMAT_ABGR),
            SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&defSize, &minSize, &maxSize),
            SPA_FORMAT_VIDEO_framerate,
            SPA_POD_CHOICE_RANGE_Fraction(&defRate, &minRate, &maxRate)));
        connected = pw_stream_connect(pw_->stream, PW_DIRECTION_INPUT, node,
                                      static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT |
                                                                   PW_STREAM_FLAG_MAP_BUFFERS),
                                      params, 1) == 0;
    }
    pw_thread_loop_unlock(pw_->loop);
    if (!connected) {
        stop();
        return false;
    }
    return true;
}

void ScreenCastStream::stop() {
    if (!pw_)
        return;
    pw_thread_loop_lock(pw_->loop);
    if (pw_->stream) {
        {
            std::lock_guard lock(frameLock_);
            held_ = nullptr; // the stream owns its buffers and frees them with itself
            size_ = QSize();
        }
        pw_stream_destroy(pw_->stream);
    }
    if (pw_->core)
        pw_core_disconnect(pw_->core);
    pw_thread_loop_unlock(pw_->loop);
    pw_thread_loop_stop(pw_->loop);
    pw_context_destroy(pw_->context);
    pw_thread_loop_destroy(pw_->loop);
    pw_.reset();
}

void ScreenCastStream::onState(int state) {
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
        std::lock_guard lock(frameLock_);
        progress_.failed = true;
    }
}

void ScreenCastStream::onFormat(const void* param) {
    auto* format = static_cast<const spa_pod*>(param);
    if (!format)
        return;
    spa_video_info_raw info{};
    if (spa_format_video_raw_parse(format, &info) < 0)
        return;
    const Layout* found = nullptr;
    for (const Layout& l : layouts)
        if (l.format == info.format)
            found = &l;
    if (!found) {
        std::lock_guard lock(frameLock_);
        progress_.failed = true;
        return;
    }
    {
        // The window's thread reads these while it copies.
        std::lock_guard lock(frameLock_);
        pw_->layout = *found;
        pw_->width = static_cast<int>(info.size.width);
        pw_->height = static_cast<int>(info.size.height);
    }

    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[3];
    // At least two buffers: one is kept for the window while the producer fills the other.
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(8, 2, 32), SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
    params[2] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
        SPA_POD_CHOICE_RANGE_Int(cursorMetaSize(64), cursorMetaSize(1), cursorMetaSize(1024))));
    pw_stream_update_params(pw_->stream, params, 3);
}

void ScreenCastStream::onProcess() {
    pw_buffer* newest = nullptr;
    while (pw_buffer* b = pw_stream_dequeue_buffer(pw_->stream)) {
        // Only the newest picture matters; the cursor is read from every buffer.
        spa_buffer* buf = b->buffer;
        const auto* cursor = static_cast<const spa_meta_cursor*>(
            spa_buffer_find_meta_data(buf, SPA_META_Cursor, sizeof(spa_meta_cursor)));
        {
            std::lock_guard lock(frameLock_);
            if (!cursor) {
                progress_.noCursorMeta = true;
            } else {
                progress_.cursorMeta = true;
                if (spa_meta_cursor_is_valid(cursor)) {
                    pointer_ = QPoint(cursor->position.x, cursor->position.y);
                    pointerKnown_ = true;
                }
            }
        }
        const spa_data& d = buf->datas[0];
        const bool picture = buf->n_datas > 0 && d.data && d.chunk && d.chunk->size > 0 &&
                             !(d.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED);
        if (!picture) {
            // A buffer that only moves the pointer.
            pw_stream_queue_buffer(pw_->stream, b);
            continue;
        }
        if (newest)
            pw_stream_queue_buffer(pw_->stream, newest);
        newest = b;
    }
    if (!newest)
        return;
    const spa_data& d = newest->buffer->datas[0];
    const int stride = d.chunk->stride > 0 ? d.chunk->stride : pw_->width * 4;
    const bool fits = std::uint64_t(stride) * pw_->height <= d.chunk->size &&
                      std::uint64_t(d.chunk->offset) + d.chunk->size <= d.maxsize;
    if (!fits || pw_->width <= 0 || pw_->height <= 0) {
        pw_stream_queue_buffer(pw_->stream, newest);
        return;
    }
    bool lookedForPicture = false;
    {
        std::lock_guard lock(frameLock_);
        lookedForPicture = progress_.anyPicture;
    }
    // Until one frame shows something, each frame is looked at whole; afterwards never again.
    const auto* bytes = static_cast<const std::uint8_t*>(d.data) + d.chunk->offset;
    const bool black = !lookedForPicture && [&] {
        const std::uint32_t alphaMask = [&] {
            // The one byte that is neither red, green nor blue.
            const int alpha = 6 - pw_->layout.r - pw_->layout.g - pw_->layout.b;
            return ~(0xffu << (8 * alpha));
        }();
        for (int y = 0; y < pw_->height; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(bytes + std::size_t(y) * stride);
            for (int x = 0; x < pw_->width; ++x)
                if (row[x] & alphaMask)
                    return false;
        }
        return true;
    }();
    pw_buffer* old = nullptr;
    {
        std::lock_guard lock(frameLock_);
        old = held_;
        held_ = newest;
        size_ = QSize(pw_->width, pw_->height);
        red_ = pw_->layout.r;
        green_ = pw_->layout.g;
        blue_ = pw_->layout.b;
        ++progress_.frames;
        if (!black)
            progress_.anyPicture = true;
    }
    if (old)
        pw_stream_queue_buffer(pw_->stream, old);
}

ScreenCastStream::Progress ScreenCastStream::progress() const {
    std::lock_guard lock(frameLock_);
    return progress_;
}

std::optional<QPoint> ScreenCastStream::pointer() const {
    std::lock_guard lock(frameLock_);
    if (!pointerKnown_)
        return std::nullopt;
    return pointer_;
}

QSize ScreenCastStream::frameSize() const {
    std::lock_guard lock(frameLock_);
    return size_;
}

std::optional<QImage> ScreenCastStream::copy(const QRect& rect) const {
    std::lock_guard lock(frameLock_);
    if (!held_ || !pw_)
        return std::nullopt;
    const spa_data& d = held_->buffer->datas[0];
    const int stride = d.chunk->stride > 0 ? d.chunk->stride : size_.width() * 4;
    const auto* bytes = static_cast<const std::uint8_t*>(d.data) + d.chunk->offset;
    QImage out(rect.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    const QRect inside = rect.intersected(QRect(QPoint(0, 0), size_));
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const std::uint8_t* px = bytes + std::size_t(y) * stride + std::size_t(inside.left()) * 4;
        auto* dst =
            reinterpret_cast<QRgb*>(out.scanLine(y - rect.top())) + (inside.left() - rect.left());
        for (int x = 0; x < inside.width(); ++x, px += 4)
            dst[x] = qRgb(px[red_], px[green_], px[blue_]);
    }
    return out;
}
