/* Drags the game's camera: a right-button press, a series of pointer moves
 * with that button held and the release, sent straight to the window as
 * synthetic events (freeglut under a bare Xvfb takes those, but ignores the
 * XTEST input that xdotool's drags use, and a warped pointer carries no
 * button state).
 *
 *   xdrag WINDOW STEPS DX DY
 *
 * moves the pointer STEPS times by (DX, DY) pixels while the button is held. */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>

static void send(Display *display, Window window, XEvent *event, long mask) {
    if (!XSendEvent(display, window, True, mask, event)) {
        fprintf(stderr, "xdrag: the event could not be sent\n");
        exit(1);
    }
}

int main(int argc, char **argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: xdrag WINDOW STEPS DX DY\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xdrag: no display\n");
        return 1;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const int steps = atoi(argv[2]), dx = atoi(argv[3]), dy = atoi(argv[4]);
    int x = 400, y = 400;

    XEvent event = {0};
    event.xbutton.type = ButtonPress;
    event.xbutton.display = display;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button3;
    event.xbutton.same_screen = True;
    send(display, window, &event, ButtonPressMask);
    XSync(display, False);

    for (int i = 0; i < steps; ++i) {
        x += dx;
        y += dy;
        XEvent motion = {0};
        motion.xmotion.type = MotionNotify;
        motion.xmotion.display = display;
        motion.xmotion.window = window;
        motion.xmotion.root = DefaultRootWindow(display);
        motion.xmotion.x = x;
        motion.xmotion.y = y;
        motion.xmotion.state = Button3Mask;
        motion.xmotion.same_screen = True;
        send(display, window, &motion, PointerMotionMask | Button3MotionMask);
        XSync(display, False);
    }

    event.xbutton.type = ButtonRelease;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.state = Button3Mask;
    send(display, window, &event, ButtonReleaseMask);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
