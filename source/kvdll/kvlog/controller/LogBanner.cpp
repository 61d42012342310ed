#include "controller/LogBanner.h"

#include "OsDebugOutput.h"

namespace
{
const int kBannerWidth = 78;
const int kMessageLines = 5;

const char* const kBannerMessages[][kMessageLines] = {
    {"** Logging ERROR !!!                                  LL     OOOOOO  GGGGGG   ",
     "** LOG_SETAPPLICATION(Name)                           LL     OO  OO  GG       ",
     "** called twice                                       LL     OO  OO  GG GGG   ",
     "**                                                    LL     OO  OO  GG  GG   ",
     "** ==> Logging DISABLED                               LLLLL  OOOOOO  GGGGGG   "},
    {"** Logging ERROR !!!                                  LL     OOOOOO  GGGGGG   ",
     "** maybe LOG_SETAPPLICATION(Name)                     LL     OO  OO  GG       ",
     "** called after first LOG                             LL     OO  OO  GG GGG   ",
     "**                                                    LL     OO  OO  GG  GG   ",
     "** ==> Logging DISABLED                               LLLLL  OOOOOO  GGGGGG   "},
    {"** Logging WARNING !!!                                LL     OOOOOO  GGGGGG   ",
     "** use LOG_SETAPPLICATION(Name)                       LL     OO  OO  GG       ",
     "** to set the Application name                        LL     OO  OO  GG GGG   ",
     "**                                                    LL     OO  OO  GG  GG   ",
     "** ==> Using ApplicationName                          LLLLL  OOOOOO  GGGGGG   "},
    {"** Logging ERROR !!!                                  LL     OOOOOO  GGGGGG   ",
     "** Could not open or create Logfile                   LL     OO  OO  GG       ",
     "**                                                    LL     OO  OO  GG GGG   ",
     "**                                                    LL     OO  OO  GG  GG   ",
     "** ==> Logging DISABLED                               LLLLL  OOOOOO  GGGGGG   "},
};

void AppendLine(CString& text, const CString& line)
{
    text += line;
    text += '\n';
}
} // namespace

CString BannerText(LogBanner banner)
{
    const CString asterisks('*', kBannerWidth);
    CString text;
    AppendLine(text, CString('/', kBannerWidth));
    AppendLine(text, asterisks);
    for (const char* message : kBannerMessages[static_cast<int>(banner)])
    {
        CString line(message);
        line += CString(' ', kBannerWidth - line.GetLength());
        AppendLine(text, line.Left(kBannerWidth));
    }
    AppendLine(text, asterisks);
    AppendLine(text, CString('\\', kBannerWidth / 2));
    return text;
}

void WriteBanner(LogBanner banner)
{
    os::OutputDebugStringA(BannerText(banner));
}
