#include "platform/qt/wayland/WaylandScreen.h"

#include "mainwindow/ErrorTexts.h"

namespace ocu::qt {
namespace {

// A cast the compositor ends this often within this span is not started again by itself.
constexpr int kRestartsAllowed = 3;
constexpr int kRestartSpanMs = 10000;

}  // namespace

WaylandScreen::WaylandScreen(std::string restoreToken, Hooks hooks)
    : hooks_(std::move(hooks)),
      token_(std::move(restoreToken)),
      portal_({[this](PortalSession::Granted g) { Started(std::move(g)); },
               [this] {
                   refused_ = true;
                   if (hooks_.Tell) hooks_.Tell(text::kScreenCastRefused);
               },
               [this](const QString&) {
                   capture_.Stop();
                   TellOnce(toldFailure_, text::kScreenCastFailed);
               },
               [this] { Ended(); }}) {}

WaylandScreen::~WaylandScreen() {
    capture_.Stop();
    portal_.Close();
}

void WaylandScreen::Start() { Begin(true); }

void WaylandScreen::AskAgain() {
    refused_ = false;
    toldFailure_ = false;
    restarts_ = 0;
    Begin(false);
}

void WaylandScreen::Begin(bool withToken) {
    capture_.Stop();
    portal_.Start(PortalSession::Kind::ScreenCast, true, withToken ? QString::fromStdString(token_) : QString());
}

void WaylandScreen::Started(PortalSession::Granted granted) {
    // A new token each start: the one given before is spent.
    const std::string token = granted.RestoreToken.toStdString();
    if (!token.empty() && token != token_) {
        token_ = token;
        if (hooks_.Keep) hooks_.Keep(token_);
    }
    std::vector<PipeWireCapture::Source> sources;
    for (const auto& s : granted.Streams) sources.push_back({s.Node, s.Place});
    const bool started = capture_.Start(granted.Fd, sources,
                                        {[this] {
                                             news_ = true;
                                             if (hooks_.Changed) hooks_.Changed();
                                         },
                                         [this] { Ended(); }});
    if (!started) {
        portal_.Close();
        TellOnce(toldFailure_, text::kScreenCastFailed);
        return;
    }
    if (!granted.PointerMetadata) TellOnce(toldNoPointer_, text::kPointerNotTold);
}

// The compositor ends a cast when its screens change or it restarts its casts: the view
// asks for it again, with the consent kept.
void WaylandScreen::Ended() {
    capture_.Stop();
    portal_.Close();
    news_ = true;
    if (!restartSpan_.isValid() || restartSpan_.elapsed() > kRestartSpanMs) {
        restartSpan_.start();
        restarts_ = 0;
    }
    if (++restarts_ > kRestartsAllowed) {
        TellOnce(toldFailure_, text::kScreenCastFailed);
        return;
    }
    Begin(true);
}

bool WaylandScreen::TakeNews() {
    const bool news = news_;
    news_ = false;
    return news;
}

void WaylandScreen::TellOnce(bool& told, std::string_view text) {
    if (told) return;
    told = true;
    if (hooks_.Tell) hooks_.Tell(text);
}

}  // namespace ocu::qt
