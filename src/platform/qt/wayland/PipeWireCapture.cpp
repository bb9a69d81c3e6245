#include "platform/qt/wayland/PipeWireCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ocu::qt {
namespace {

// The pointer's picture travels beside its position: the room offered for it must reach
// the largest cursor a compositor draws (384 px square at high scales), or the compositor
// leaves the metadata out altogether, silently.
constexpr int CursorMetaSize(int w, int h) {
    return static_cast<int>(sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap)) + w * h * 4;
}

void InitOnce() {
    static const bool done = [] {
        pw_init(nullptr, nullptr);
        return true;
    }();
    (void)done;
}

}  // namespace

struct PipeWireCapture::CoreHook {
    spa_hook hook{};
    pw_core_events events{};
    PipeWireCapture* owner = nullptr;
};

struct PipeWireCapture::Stream {
    PipeWireCapture* owner = nullptr;
    IntRect place;
    pw_stream* stream = nullptr;
    spa_hook hook{};
    pw_stream_events events{};
    int width = 0, height = 0;
    // The newest picture, kept from the compositor until a newer one comes.
    pw_buffer* held = nullptr;
    const std::uint8_t* bits = nullptr;
    std::size_t stride = 0;

    IntRect Shown() const {
        return {place.Left, place.Top, place.Left + (bits ? width : 0), place.Top + (bits ? height : 0)};
    }
};

// The stream's callbacks, run inside Iterate on the toolkit's thread.
struct StreamCallbacks {
    using S = PipeWireCapture::Stream;

    static void ParamChanged(void* data, std::uint32_t id, const spa_pod* param) {
        auto* s = static_cast<S*>(data);
        if (param == nullptr || id != SPA_PARAM_Format) return;
        std::uint32_t mediaType = 0, mediaSubtype = 0;
        if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 || mediaType != SPA_MEDIA_TYPE_video ||
            mediaSubtype != SPA_MEDIA_SUBTYPE_raw)
            return;
        spa_video_info_raw info{};
        if (spa_format_video_raw_parse(param, &info) < 0) return;
        s->width = static_cast<int>(info.size.width);
        s->height = static_cast<int>(info.size.height);

        std::uint8_t buffer[1024];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
        const spa_pod* params[3];
        // Mapped memory only: the view reads a few rows of it a tick, on the processor.
        params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
        params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
            SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
        params[2] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Cursor),
            SPA_PARAM_META_size,
            SPA_POD_CHOICE_RANGE_Int(CursorMetaSize(64, 64), CursorMetaSize(1, 1), CursorMetaSize(384, 384))));
        pw_stream_update_params(s->stream, params, 3);
    }

    static void StateChanged(void* data, pw_stream_state, pw_stream_state state, const char*) {
        auto* s = static_cast<S*>(data);
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) s->owner->ended_ = true;
    }

    static void ReadPointer(S* s, spa_buffer* buffer) {
        const auto* cursor = static_cast<const spa_meta_cursor*>(
            spa_buffer_find_meta_data(buffer, SPA_META_Cursor, sizeof(spa_meta_cursor)));
        if (cursor == nullptr || !spa_meta_cursor_is_valid(cursor)) return;
        PipeWireCapture& o = *s->owner;
        o.tellsPointer_ = true;
        const int x = cursor->position.x, y = cursor->position.y;
        // A monitor the pointer is not on tells a position off its picture.
        if (x < 0 || y < 0 || x >= s->width || y >= s->height) return;
        o.pointer_ = IntPoint{s->place.Left + x, s->place.Top + y};
        o.news_ = true;
    }

    // Whether the buffer holds a whole picture: a pointer's move alone comes without one.
    static bool HoldsPicture(const S* s, const spa_buffer* buffer) {
        if (buffer->n_datas < 1) return false;
        const spa_data& d = buffer->datas[0];
        if (d.data == nullptr || d.chunk == nullptr || d.chunk->size == 0) return false;
        if ((d.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) != 0) return false;
        const auto* header = static_cast<const spa_meta_header*>(
            spa_buffer_find_meta_data(buffer, SPA_META_Header, sizeof(spa_meta_header)));
        if (header != nullptr && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) != 0) return false;
        if (s->width <= 0 || s->height <= 0) return false;
        const std::size_t stride =
            d.chunk->stride > 0 ? static_cast<std::size_t>(d.chunk->stride) : static_cast<std::size_t>(s->width) * 4;
        const std::size_t needed = d.chunk->offset + stride * static_cast<std::size_t>(s->height - 1) +
                                   static_cast<std::size_t>(s->width) * 4;
        return stride >= static_cast<std::size_t>(s->width) * 4 && needed <= d.maxsize;
    }

    static void Process(void* data) {
        auto* s = static_cast<S*>(data);
        while (pw_buffer* b = pw_stream_dequeue_buffer(s->stream)) {
            ReadPointer(s, b->buffer);
            if (!HoldsPicture(s, b->buffer)) {
                pw_stream_queue_buffer(s->stream, b);
                continue;
            }
            if (s->held != nullptr) pw_stream_queue_buffer(s->stream, s->held);
            s->held = b;
            const spa_data& d = b->buffer->datas[0];
            s->bits = static_cast<const std::uint8_t*>(d.data) + d.chunk->offset;
            s->stride = d.chunk->stride > 0 ? static_cast<std::size_t>(d.chunk->stride)
                                            : static_cast<std::size_t>(s->width) * 4;
            s->owner->news_ = true;
        }
    }

    static void CoreError(void* data, std::uint32_t id, int, int res, const char*) {
        auto* hook = static_cast<PipeWireCapture::CoreHook*>(data);
        if (id == PW_ID_CORE && res == -EPIPE) hook->owner->ended_ = true;
    }
};

PipeWireCapture::PipeWireCapture() = default;

PipeWireCapture::~PipeWireCapture() { Stop(); }

bool PipeWireCapture::Start(int fd, const std::vector<Source>& sources, Events events) {
    Stop();
    InitOnce();
    events_ = std::move(events);
    loop_ = pw_loop_new(nullptr);
    if (loop_ == nullptr) {
        ::close(fd);
        return false;
    }
    pw_loop_enter(loop_);
    context_ = pw_context_new(loop_, nullptr, 0);
    if (context_ != nullptr) core_ = pw_context_connect_fd(context_, fd, nullptr, 0);
    else ::close(fd);
    if (core_ == nullptr) {
        Stop();
        return false;
    }
    coreHook_ = std::make_unique<CoreHook>();
    coreHook_->owner = this;
    coreHook_->events.version = PW_VERSION_CORE_EVENTS;
    coreHook_->events.error = &StreamCallbacks::CoreError;
    pw_core_add_listener(core_, &coreHook_->hook, &coreHook_->events, coreHook_.get());

    for (const Source& source : sources) {
        auto s = std::make_unique<Stream>();
        s->owner = this;
        s->place = source.Place;
        s->events.version = PW_VERSION_STREAM_EVENTS;
        s->events.param_changed = &StreamCallbacks::ParamChanged;
        s->events.state_changed = &StreamCallbacks::StateChanged;
        s->events.process = &StreamCallbacks::Process;
        s->stream = pw_stream_new(core_, "Ocumira",
                                  pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                    PW_KEY_MEDIA_ROLE, "Screen", nullptr));
        if (s->stream == nullptr) continue;
        pw_stream_add_listener(s->stream, &s->hook, &s->events, s.get());

        std::uint8_t buffer[1024];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
        spa_rectangle size{static_cast<std::uint32_t>(std::max(source.Place.Width(), 1)),
                           static_cast<std::uint32_t>(std::max(source.Place.Height(), 1))};
        spa_rectangle sizeMin{1, 1}, sizeMax{16384, 16384};
        spa_fraction rate{0, 1}, rateMin{0, 1}, rateMax{1000, 1};
        // No modifiers offered: the compositor then sends pictures in memory we can map.
        const spa_pod* params[1] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
            SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
            SPA_POD_CHOICE_ENUM_Id(3, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA),
            SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &sizeMin, &sizeMax),
            SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &rateMin, &rateMax)))};
        // The node is the portal's stream itself; naming it as a target would let the
        // session manager choose.
        if (pw_stream_connect(s->stream, PW_DIRECTION_INPUT, source.Node,
                              static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
                              params, 1) < 0) {
            pw_stream_destroy(s->stream);
            continue;
        }
        streams_.push_back(std::move(s));
    }
    if (streams_.empty()) {
        Stop();
        return false;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pw_loop_get_fd(loop_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Iterate(); });
    return true;
}

void PipeWireCapture::Iterate() {
    news_ = false;
    ended_ = false;
    pw_loop_iterate(loop_, 0);
    // Told after the loop has run, so that what is told may stop the capture.
    if (ended_) {
        if (events_.Ended) events_.Ended();
    } else if (news_ && events_.Picture) {
        events_.Picture();
    }
}

bool PipeWireCapture::Complete() const {
    return !streams_.empty() &&
           std::all_of(streams_.begin(), streams_.end(), [](const auto& s) { return s->bits != nullptr; });
}

void PipeWireCapture::Stop() {
    // Stopped from inside its own notification: the notifier goes once that has returned.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    for (auto& s : streams_) {
        spa_hook_remove(&s->hook);
        pw_stream_destroy(s->stream);  // gives back the held buffer with the rest
    }
    streams_.clear();
    if (core_ != nullptr) {
        spa_hook_remove(&coreHook_->hook);
        pw_core_disconnect(core_);
        core_ = nullptr;
    }
    coreHook_.reset();
    if (context_ != nullptr) pw_context_destroy(context_);
    context_ = nullptr;
    if (loop_ != nullptr) {
        pw_loop_leave(loop_);
        pw_loop_destroy(loop_);
    }
    loop_ = nullptr;
    pointer_.reset();
    view_ = Image();
}

Image* PipeWireCapture::Capture(IntRect area) {
    const int w = area.Width(), h = area.Height();
    if (w <= 0 || h <= 0) return nullptr;
    for (const auto& s : streams_) {
        const IntRect shown = s->Shown();
        if (area.Left >= shown.Left && area.Top >= shown.Top && area.Right <= shown.Right &&
            area.Bottom <= shown.Bottom) {
            auto* at = const_cast<std::uint8_t*>(s->bits) +
                       static_cast<std::size_t>(area.Top - shown.Top) * s->stride +
                       static_cast<std::size_t>(area.Left - shown.Left) * 4;
            view_ = Image::View(at, w, h, PixelFormat::Bits32, s->stride);
            return &view_;
        }
    }
    // Across monitors or off every picture: pieced together, black where nothing is shown.
    if (copy_.Width() != w || copy_.Height() != h) copy_ = Image(w, h, PixelFormat::Bits32);
    else std::memset(copy_.Bits(), 0, copy_.SizeBytes());
    for (const auto& s : streams_) {
        const IntRect shown = s->Shown();
        const int left = std::max(area.Left, shown.Left), right = std::min(area.Right, shown.Right);
        const int top = std::max(area.Top, shown.Top), bottom = std::min(area.Bottom, shown.Bottom);
        if (left >= right || top >= bottom) continue;
        for (int y = top; y < bottom; ++y)
            std::memcpy(copy_.Row(y - area.Top) + static_cast<std::size_t>(left - area.Left) * 4,
                        s->bits + static_cast<std::size_t>(y - shown.Top) * s->stride +
                            static_cast<std::size_t>(left - shown.Left) * 4,
                        static_cast<std::size_t>(right - left) * 4);
    }
    return &copy_;
}

}  // namespace ocu::qt
