// A stand-in for a desktop's screen-cast: a PipeWire video source whose every pixel tells where
// it is (red = x % 256, green = y % 256, blue = (x / 256) * 16 + y / 256), with the pointer at a
// fixed position in its cursor metadata. Prints "node N" once the stream exists, then runs until
// stdin closes or a signal ends it.
//
//   screencast-producer [--size WxH] [--rate FPS] [--cursor X,Y] [--black] [--no-cursor]
//                       [--stamp]
// --black sends black frames only; --no-cursor offers no cursor metadata; --stamp writes the
// frame's CLOCK_MONOTONIC time in nanoseconds, one byte per pixel in the red channel, into the
// eight pixels that start at the cursor position, so that a reader can tell a frame's age.
#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Producer {
    pw_main_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_source* timer = nullptr;
    int width = 640;
    int height = 480;
    int rate = 30;
    int cursorX = 500;
    int cursorY = 300;
    bool black = false;
    bool cursor = true;
    bool stamp = false;
    bool announced = false;
    std::vector<std::uint32_t> picture;
    std::uint32_t seq = 0;
};

std::uint32_t patternPixel(int x, int y) {
    // BGRx in memory: 0x00RRGGBB as a little-endian word.
    const std::uint32_t r = x % 256, g = y % 256, b = ((x / 256) * 16 + y / 256) & 0xff;
    return (r << 16) | (g << 8) | b;
}

void onTimer(void* data, std::uint64_t) {
    auto* p = static_cast<Producer*>(data);
    pw_buffer* b = pw_stream_dequeue_buffer(p->stream);
    if (!b)
        return;
    spa_buffer* buf = b->buffer;
    auto* dst = static_cast<std::uint8_t*>(buf->datas[0].data);
    if (!dst) {
        pw_stream_queue_buffer(p->stream, b);
        return;
    }
    const int stride = p->width * 4;
    std::memcpy(dst, p->picture.data(), std::size_t(stride) * p->height);
    if (p->stamp) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::uint64_t ns = std::uint64_t(now.tv_sec) * 1000000000u + now.tv_nsec;
        for (int i = 0; i < 8 && p->cursorX + i < p->width; ++i)
            dst[std::size_t(p->cursorY) * stride + std::size_t(p->cursorX + i) * 4 + 2] =
                std::uint8_t(ns >> (8 * i));
    }
    if (auto* h = static_cast<spa_meta_header*>(
            spa_buffer_find_meta_data(buf, SPA_META_Header, sizeof(spa_meta_header)))) {
        h->pts = -1;
        h->flags = 0;
        h->seq = p->seq++;
        h->dts_offset = 0;
    }
    if (auto* c = static_cast<spa_meta_cursor*>(
            spa_buffer_find_meta_data(buf, SPA_META_Cursor, sizeof(spa_meta_cursor)))) {
        c->id = 1;
        c->flags = 0;
        c->position.x = p->cursorX;
        c->position.y = p->cursorY;
        c->hotspot.x = 0;
        c->hotspot.y = 0;
        c->bitmap_offset = 0;
    }
    buf->datas[0].chunk->offset = 0;
    buf->datas[0].chunk->size = std::uint32_t(stride) * p->height;
    buf->datas[0].chunk->stride = stride;
    pw_stream_queue_buffer(p->stream, b);
}

void onState(void* data, pw_stream_state, pw_stream_state state, const char* error) {
    auto* p = static_cast<Producer*>(data);
    if (state == PW_STREAM_STATE_ERROR) {
        std::fprintf(stderr, "stream error: %s\n", error ? error : "");
        pw_main_loop_quit(p->loop);
    }
    if ((state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING) && !p->announced) {
        p->announced = true;
        std::printf("node %u\n", pw_stream_get_node_id(p->stream));
        std::fflush(stdout);
    }
    timespec start{0, 1}, interval{0, 1000000000L / p->rate};
    if (state == PW_STREAM_STATE_STREAMING)
        pw_loop_update_timer(pw_main_loop_get_loop(p->loop), p->timer, &start, &interval, false);
    else
        pw_loop_update_timer(pw_main_loop_get_loop(p->loop), p->timer, nullptr, nullptr, false);
}

void onParam(void* data, std::uint32_t id, const spa_pod* param) {
    auto* p = static_cast<Producer*>(data);
    if (!param || id != SPA_PARAM_Format)
        return;
    const int stride = p->width * 4;
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[3];
    int n = 0;
    params[n++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(4, 2, 16), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
        SPA_PARAM_BUFFERS_size, SPA_POD_Int(stride * p->height), SPA_PARAM_BUFFERS_stride,
        SPA_POD_Int(stride), SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
    params[n++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
    if (p->cursor) {
        const int size = sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap) + 64 * 64 * 4;
        params[n++] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size, SPA_POD_Int(size)));
    }
    pw_stream_update_params(p->stream, params, n);
}

Producer* running = nullptr;

void onSignal(void*, int) {
    pw_main_loop_quit(running->loop);
}

void onStdin(void* data, int, std::uint32_t) {
    char c;
    if (read(0, &c, 1) <= 0)
        pw_main_loop_quit(static_cast<Producer*>(data)->loop);
}

} // namespace

int main(int argc, char* argv[]) {
    Producer p;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--size" && std::sscanf(next, "%dx%d", &p.width, &p.height) == 2)
            ++i;
        else if (a == "--rate" && (p.rate = std::atoi(next)) > 0)
            ++i;
        else if (a == "--cursor" && std::sscanf(next, "%d,%d", &p.cursorX, &p.cursorY) == 2)
            ++i;
        else if (a == "--black")
            p.black = true;
        else if (a == "--no-cursor")
            p.cursor = false;
        else if (a == "--stamp")
            p.stamp = true;
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    p.picture.resize(std::size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.picture[std::size_t(y) * p.width + x] = p.black ? 0 : patternPixel(x, y);

    pw_init(&argc, &argv);
    p.loop = pw_main_loop_new(nullptr);
    running = &p;
    pw_loop* loop = pw_main_loop_get_loop(p.loop);
    pw_loop_add_signal(loop, SIGINT, onSignal, &p);
    pw_loop_add_signal(loop, SIGTERM, onSignal, &p);
    pw_loop_add_io(loop, 0, SPA_IO_IN | SPA_IO_HUP, false, onStdin, &p);
    p.timer = pw_loop_add_timer(loop, onTimer, &p);

    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = onState;
        e.param_changed = onParam;
        return e;
    }();
    p.stream = pw_stream_new_simple(
        loop, "vlfonts test screen",
        pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", PW_KEY_MEDIA_ROLE, "Screen", nullptr),
        &events, &p);
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_rectangle size = SPA_RECTANGLE(std::uint32_t(p.width), std::uint32_t(p.height));
    const spa_fraction rate = SPA_FRACTION(std::uint32_t(p.rate), 1);
    const spa_pod* params[1] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_Id(SPA_VIDEO_FORMAT_BGRx), SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&rate)))};
    if (pw_stream_connect(
            p.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
            static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS),
            params, 1) < 0) {
        std::fprintf(stderr, "cannot offer the stream\n");
        return 1;
    }
    pw_main_loop_run(p.loop);
    pw_stream_destroy(p.stream);
    pw_main_loop_destroy(p.loop);
    pw_deinit();
    return 0;
}
