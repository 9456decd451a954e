#pragma once

class Dialogs;
class Shell;
class FontSystem;
class Network;
class Screen;
class HotKey;

// The seams to the desktop, handed to every window when it is built.
struct Platform {
    Dialogs& dialogs;
    Shell& shell;
    FontSystem& fonts;
    Network& network;
    Screen& screen;
    HotKey& hotKey;
};
