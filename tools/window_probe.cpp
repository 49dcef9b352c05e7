// Waits on the X display for a top-level window with the given title, saves a screenshot of
// the screen, then asks the window to close as a window manager would (WM_DELETE_WINDOW).
// Usage: window_probe TITLE SCREENSHOT.png

#include <QImage>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

// The raw bytes of a window property of the given type; empty when the window has none.
std::string property(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string bytes;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
            &actualType, &format, &count, &after, &data)
            == Success
        && data) {
        bytes.assign(
            reinterpret_cast<char*>(data), count * (format == 32 ? sizeof(long) : format / 8));
        XFree(data);
    }
    return bytes;
}

std::string windowTitle(Display* display, Window window)
{
    return property(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
}

Window findWindow(Display* display, const std::string& title)
{
    Window root = DefaultRootWindow(display), parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, children[i], &attributes);
        if (attributes.map_state == IsViewable && windowTitle(display, children[i]) == title)
            found = children[i];
    }
    XFree(children);
    return found;
}

bool saveScreen(Display* display, const char* file)
{
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image
        = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    QImage shot(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            shot.setPixel(x, y, XGetPixel(image, x, y));
    XDestroyImage(image);
    return shot.save(file);
}

// Does what a window manager does for a window that asks to be maximized: gives it the screen.
// Returns whether the window asked.
bool maximizeIfAsked(Display* display, Window window)
{
    const std::string states = property(display, window, "_NET_WM_STATE", XA_ATOM);
    const Atom maximized = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    bool asked = false;
    for (std::size_t i = 0; i + sizeof(long) <= states.size(); i += sizeof(long)) {
        long state;
        std::memcpy(&state, states.data() + i, sizeof state);
        asked = asked || state == long(maximized);
    }
    if (asked) {
        Screen* screen = DefaultScreenOfDisplay(display);
        XMoveResizeWindow(display, window, 0, 0, unsigned(WidthOfScreen(screen)),
            unsigned(HeightOfScreen(screen)));
        XFlush(display);
    }
    return asked;
}

void askToClose(Display* display, Window window)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_probe TITLE SCREENSHOT.png\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window_probe: no X display\n");
        return 2;
    }
    Window window = 0;
    for (int attempt = 0; attempt < 300 && !window; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        window = findWindow(display, argv[1]);
    }
    if (!window) {
        std::fprintf(stderr, "window_probe: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    if (!maximizeIfAsked(display, window)) {
        std::fprintf(stderr, "window_probe: the window was not shown maximized\n");
        askToClose(display, window);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // let it lay out and paint
    bool saved = saveScreen(display, argv[2]);
    askToClose(display, window);
    XCloseDisplay(display);
    if (!saved)
        std::fprintf(stderr, "window_probe: cannot save %s\n", argv[2]);
    return saved ? 0 : 1;
}
