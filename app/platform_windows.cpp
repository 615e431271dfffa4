#include "app/platform.h"

#include <QString>

#include <windows.h>

#include <cstdio>
#include <string>

namespace kalvoran::app {

// Windows has one windowing platform, and Wine passes DISPLAY through: there
// is nothing to choose.
void choosePlatform()
{ }

// A program without a console has nobody reading stderr: the reason goes into
// a message box of the system's own, since the toolkit has failed. stderr still
// gets it, for a program started from a console.
void reportStartFailure(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const std::wstring wide = text.trimmed().toStdWString();
    MessageBoxW(nullptr, wide.c_str(), L"Kalvoran", MB_OK | MB_ICONERROR);
}

} // namespace kalvoran::app
