#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

struct pw_buffer;

// One screen-cast stream read from PipeWire: the picture of a monitor and the pointer's
// position from the stream's cursor metadata. PipeWire delivers frames on a thread of its own;
// the newest frame with a picture is kept out of the stream's queue until a newer one arrives,
// so that the window's timer copies only the few pixels it shows, never the whole screen.
class ScreenCastStream final {
public:
    ScreenCastStream();
    ~ScreenCastStream();
    ScreenCastStream(const ScreenCastStream&) = delete;
    ScreenCastStream& operator=(const ScreenCastStream&) = delete;

    // Reads the stream node `node` over the PipeWire connection `fd` (taken over, closed in any
    // case). False when PipeWire refuses the connection or the stream.
    bool start(int fd, std::uint32_t node);
    // Ends the stream and the connection; nothing of PipeWire is left running.
    void stop();

    // What has come so far, read by the window's thread.
    struct Progress {
        std::uint64_t frames = 0;  // frames with a picture
        bool anyPicture = false;   // a frame with at least one pixel that is not black
        bool cursorMeta = false;   // every frame carries the cursor metadata block
        bool noCursorMeta = false; // a frame came without it: the pointer cannot be known
        bool failed = false;       // PipeWire ended the stream or refused its format
    };
    Progress progress() const;

    // The pointer's last known position in the stream's pixels.
    std::optional<QPoint> pointer() const;
    // The part of the newest picture inside rect, in QImage::Format_RGB32; pixels outside the
    // picture are black. nullopt before the first picture.
    std::optional<QImage> copy(const QRect& rect) const;
    // The newest picture's size.
    QSize frameSize() const;

private:
    struct Pw;
    void onProcess();
    void onFormat(const void* param);
    void onState(int state);

    std::unique_ptr<Pw> pw_;
    mutable std::mutex frameLock_;
    pw_buffer* held_ = nullptr; // the newest buffer with a picture, out of the queue
    // The held picture's size and the byte positions of red, green and blue in its pixels.
    QSize size_;
    int red_ = 2, green_ = 1, blue_ = 0;
    QPoint pointer_;
    bool pointerKnown_ = false;
    Progress progress_;
};
