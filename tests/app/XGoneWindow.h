// Provokes an X protocol error about a window that does not exist. Apart from the test
// source so that Xlib's macros stay out of GoogleTest's way.
#pragma once

// Sends a message to a window id no client holds and waits for the server's answer.
// False when the display cannot be opened.
bool sendToAGoneWindow();
