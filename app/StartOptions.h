#pragma once

#include <QStringList>

// What the player asked of the window program on its command line (a
// shortcut's target, a launcher's field). Arguments it does not know are
// left alone, as before: Qt has already taken its own (-platform and the
// like) out.
struct StartOptions
{
    // "--collection": the collection opens beside the main window.
    bool collection = false;

    // From the program's arguments, its own name first.
    static StartOptions from(const QStringList &arguments);
};
