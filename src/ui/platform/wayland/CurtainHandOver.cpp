#include "CurtainHandOver.h"

#include <linux/input-event-codes.h>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qwindowsysteminterface.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include "platform/wayland/WaylandCurtain.h"

namespace tavelin {
namespace {

// Returns once the compositor has handled every request the toolkit has made so far.
void awaitToolkitRequests() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display =
        native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"))
               : nullptr;
    if (!display) return;
    // On a queue of our own, so that nothing of the toolkit's is dispatched here.
    wl_event_queue* queue = wl_display_create_queue(display);
    wl_display_roundtrip_queue(display, queue);
    wl_event_queue_destroy(queue);
}

Qt::MouseButton buttonFor(uint32_t code) {
    switch (code) {
        case BTN_LEFT:
            return Qt::LeftButton;
        case BTN_RIGHT:
            return Qt::RightButton;
        case BTN_MIDDLE:
            return Qt::MiddleButton;
        default:
            return Qt::NoButton;
    }
}

Qt::KeyboardModifiers modifiersOf(const HeldInput& input) {
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, input.modifiers & kHeldShift);
    modifiers.setFlag(Qt::ControlModifier, input.modifiers & kHeldControl);
    modifiers.setFlag(Qt::AltModifier, input.modifiers & kHeldAlt);
    modifiers.setFlag(Qt::MetaModifier, input.modifiers & kHeldSuper);
    return modifiers;
}

// Key codes of the keymap as the toolkit reports them: the input code plus 8. The overlay
// tells keys by these positions, so the keys go on without a symbol.
constexpr quint32 kKeymapOffset = 8;

}  // namespace

void CurtainHandOver::begin(WaylandCurtain& curtain, const std::vector<QWindow*>& windows) {
    awaitToolkitRequests();
    new CurtainHandOver(curtain, windows);
    curtain.handOver();
}

CurtainHandOver::CurtainHandOver(WaylandCurtain& curtain, const std::vector<QWindow*>& windows)
    : QObject(QCoreApplication::instance()), curtain_(curtain) {
    for (QWindow* window : windows) windows_.emplace_back(window);
    auto* notifier =
        new QSocketNotifier(curtain_.inputReadyDescriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { passOn(); });
    passOn();
}

void CurtainHandOver::passOn() {
    for (const HeldInput& input : curtain_.takeInput()) passOn(input);
}

void CurtainHandOver::passOn(const HeldInput& input) {
    const Qt::KeyboardModifiers modifiers = modifiersOf(input);
    if (input.kind == HeldInput::Kind::key) {
        QWindow* window = windows_.empty() ? nullptr : windows_.front().data();
        if (!window) return;
        QWindowSystemInterface::handleExtendedKeyEvent(
            window, input.pressed ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_unknown,
            modifiers, input.code + kKeymapOffset, 0, 0);
        return;
    }
    QWindow* window = windowOn(input.output);
    if (!window) return;
    const QPointF local(input.x, input.y);
    const QPointF global = local + window->geometry().topLeft();
    if (input.kind == HeldInput::Kind::pointerMotion) {
        QWindowSystemInterface::handleMouseEvent(window, local, global, buttons_, Qt::NoButton,
                                                 QEvent::MouseMove, modifiers);
        return;
    }
    const Qt::MouseButton button = buttonFor(input.code);
    if (button == Qt::NoButton) return;
    buttons_.setFlag(button, input.pressed);
    QWindowSystemInterface::handleMouseEvent(
        window, local, global, buttons_, button,
        input.pressed ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, modifiers);
}

QWindow* CurtainHandOver::windowOn(const std::string& output) const {
    for (const QPointer<QWindow>& window : windows_) {
        if (window && window->screen() && window->screen()->name().toStdString() == output) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace tavelin
