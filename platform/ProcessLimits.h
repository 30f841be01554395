#pragma once

#include <QtGlobal>

// Caps this process's processor time and address space, so that a program
// run unattended on files from anywhere (a file manager's thumbnailer) ends
// instead of hanging or eating memory when something unforeseen goes wrong.
// False when the system refused.
bool limitThisProcess(int cpuSeconds, qint64 addressSpaceBytes);
