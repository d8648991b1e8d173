/*
 * A host without any toolkit: a plain Xlib window with a text field and a
 * "Settings..." button. The button, or F2 in the window, opens the encoder
 * settings dialog as a modal child of the window: the dialog library adopts
 * the window through its handle, centres the dialog over it, keeps the
 * window's input away while the dialog is up and gives the keyboard focus
 * back to the text field when it closes. Escape quits.
 *
 *   cc -I<source>/include x11host.c -lX11 -ldl -o x11host
 *   ./x11host /path/to/libvl_gui_mpa.so
 *
 * The library must not find an application object of the host's (this host
 * has none): it creates its own for the call, on its own X11 connection.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <veltrano/mpa_dialog.h>

typedef struct
{
    Display* display;
    Window top;
    Window field;
    Window button;
    GC gc;
    XFontStruct* font;
    Atom deleteWindow;
    char text[128];
    size_t length;
    int fieldFocused;
    char status[160];
    ShowMPAEncoderPagesFunc show;
    EncoderSettings* settings;
} Host;

static Window makeChild(Host* host, int x, int y, unsigned width, unsigned height, long events)
{
    Window child = XCreateSimpleWindow(host->display, host->top, x, y, width, height, 1,
        BlackPixel(host->display, DefaultScreen(host->display)),
        WhitePixel(host->display, DefaultScreen(host->display)));
    XSelectInput(host->display, child, events);
    XMapWindow(host->display, child);
    return child;
}

static void draw(Host* host)
{
    XClearWindow(host->display, host->top);
    XClearWindow(host->display, host->field);
    XClearWindow(host->display, host->button);
    const char* label = "Output file name:";
    XDrawString(host->display, host->top, host->gc, 20, 30, label, (int)strlen(label));
    XDrawString(host->display, host->field, host->gc, 6, 19, host->text, (int)host->length);
    if (host->fieldFocused) {
        /* A caret after the text while the field has the keyboard focus. */
        int x = 6 + XTextWidth(host->font, host->text, (int)host->length);
        XDrawLine(host->display, host->field, host->gc, x + 1, 5, x + 1, 23);
    }
    const char* caption = "Settings... (F2)";
    XDrawString(host->display, host->button, host->gc, 12, 20, caption, (int)strlen(caption));
    XDrawString(host->display, host->top, host->gc, 20, 230, host->status, (int)strlen(host->status));
}

static void openSettings(Host* host)
{
    /* Without the parameter-record flag the third argument is the parent
       window's handle. */
    uint32_t flags = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK | VL_FLAG_COLOURED_MESSAGES;
    XFlush(host->display);
    int32_t result = host->show(host->settings, flags, (intptr_t)host->top);
    if (result == VL_DIALOG_ACCEPTED)
        snprintf(host->status, sizeof host->status, "accepted: layer %d, mode %d, bitrate index %d",
            (int)host->settings->layer, (int)host->settings->mode, (int)host->settings->bitrateIndex);
    else if (result == VL_DIALOG_REJECTED)
        snprintf(host->status, sizeof host->status, "cancelled; settings unchanged");
    else
        snprintf(host->status, sizeof host->status, "the dialog could not start (%d)", (int)result);
    draw(host);
}

/* Returns 0 when the host is to quit. */
static int handleKey(Host* host, XKeyEvent* event)
{
    char typed[8];
    KeySym key = NoSymbol;
    int count = XLookupString(event, typed, sizeof typed, &key, NULL);
    if (key == XK_Escape)
        return 0;
    if (key == XK_F2) {
        openSettings(host);
    } else if (key == XK_BackSpace) {
        if (host->length > 0)
            host->length--;
    } else if (count == 1 && (unsigned char)typed[0] >= 0x20 && host->length + 1 < sizeof host->text) {
        host->text[host->length++] = typed[0];
    }
    draw(host);
    return 1;
}

static void run(Host* host)
{
    for (;;) {
        XEvent event;
        XNextEvent(host->display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                draw(host);
            break;
        case MapNotify:
            if (event.xmap.window == host->top)
                XSetInputFocus(host->display, host->field, RevertToParent, CurrentTime);
            break;
        case FocusIn:
            /* The window manager focuses the top-level window: pass the
               focus on to the field, as toolkits do. */
            if (event.xfocus.window == host->top && event.xfocus.mode == NotifyNormal
                && (event.xfocus.detail == NotifyAncestor || event.xfocus.detail == NotifyNonlinear))
                XSetInputFocus(host->display, host->field, RevertToParent, CurrentTime);
            if (event.xfocus.window == host->field) {
                host->fieldFocused = 1;
                draw(host);
            }
            break;
        case FocusOut:
            if (event.xfocus.window == host->field) {
                host->fieldFocused = 0;
                draw(host);
            }
            break;
        case ButtonPress:
            if (event.xbutton.window == host->button)
                openSettings(host);
            else if (event.xbutton.window == host->field)
                XSetInputFocus(host->display, host->field, RevertToParent, CurrentTime);
            break;
        case KeyPress:
            if (!handleKey(host, &event.xkey))
                return;
            break;
        case ClientMessage:
            if ((Atom)event.xclient.data.l[0] == host->deleteWindow)
                return;
            break;
        default:
            break;
        }
    }
}

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "libvl_gui_mpa.so";
    Host host;
    memset(&host, 0, sizeof host);
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    host.show = library ? (ShowMPAEncoderPagesFunc)dlsym(library, "showMPAEncoderPages") : NULL;
    if (!host.show) {
        fprintf(stderr, "cannot load showMPAEncoderPages from %s: %s\n", path, dlerror());
        return 2;
    }
    host.display = XOpenDisplay(NULL);
    if (!host.display) {
        fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    host.settings = calloc(1, sizeof *host.settings);
    host.settings->layer = 2;
    host.settings->mode = VL_MODE_JOINT_STEREO;
    host.settings->psychModel = 1;
    host.settings->bitrateIndex = 11; /* 224 kbps */
    host.settings->audioType = VL_AUDIO_MPEG1;
    host.settings->sampleFrequency = 48000;
    snprintf(host.status, sizeof host.status, "Type a name, then open the settings.");

    int screen = DefaultScreen(host.display);
    host.top = XCreateSimpleWindow(host.display, RootWindow(host.display, screen), 200, 150, 720, 250, 0,
        BlackPixel(host.display, screen), 0xd8d8d8);
    XStoreName(host.display, host.top, "X11 host without a toolkit");
    XSelectInput(host.display, host.top, ExposureMask | KeyPressMask | StructureNotifyMask | FocusChangeMask);
    host.deleteWindow = XInternAtom(host.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(host.display, host.top, &host.deleteWindow, 1);
    host.field = makeChild(&host, 20, 40, 680, 28, ExposureMask | KeyPressMask | ButtonPressMask | FocusChangeMask);
    host.button = makeChild(&host, 20, 90, 150, 30, ExposureMask | ButtonPressMask);
    host.gc = XCreateGC(host.display, host.top, 0, NULL);
    host.font = XQueryFont(host.display, XGContextFromGC(host.gc));
    XMapWindow(host.display, host.top);

    run(&host);

    XFreeFontInfo(NULL, host.font, 1);
    XCloseDisplay(host.display);
    free(host.settings);
    dlclose(library);
    return 0;
}
