#include "platform/paths/file_types.h"

namespace korvane {
namespace {

struct FileTypeRow {
    uint32_t code;
    FileType type;
};

constexpr const char* kMpegPatterns = "*.mpg;*.mpeg;*.m1s;*.m15;*.m1a;*.m1v;*.m64;*.m75;*.mp2;*.mpa;*.mpm;*.mpv";
constexpr const char* kMpegAudioPatterns =
    "*.mpg;*.mpeg;*.m1s;*.m15;*.m1a;*.m1v;*.m64;*.m75;*.mp2;*.mpa;*.mpm;*.mpv;*.mp3;*.swa";

// Several codes may share a row's extension and patterns: each code has its own entry.
constexpr FileTypeRow kFileTypes[] = {
    {fourCharCode(".SGI"), {"sgi", "*.sgi;*.rgb"}},
    {fourCharCode("SGI "), {"sgi", "*.sgi;*.rgb"}},
    {fourCharCode("PICS"), {"", ""}},
    {fourCharCode(".WAV"), {"wav", "*.wav"}},
    {fourCharCode("WAVE"), {"wav", "*.wav"}},
    {fourCharCode("3DMF"), {"3dmf", "*.3dmf;*.3dm;*.qd3d;*.qd3"}},
    {fourCharCode("8BPS"), {"psd", "*.psd"}},
    {fourCharCode("AIFC"), {"aifc", "*.aif;*.aifc;*.aiff"}},
    {fourCharCode("AIFF"), {"aif", "*.aif;*.aiff;*.aifc"}},
    {fourCharCode("BMP "), {"bmp", "*.bmp;*.dib"}},
    {fourCharCode("BMPf"), {"bmp", "*.bmp;*.dib"}},
    {fourCharCode("EPSF"), {"eps", "*.eps"}},
    {fourCharCode("EPSP"), {"eps", "*.eps"}},
    {fourCharCode("FLC "), {"flc", "*.flc;*.fli"}},
    {fourCharCode("FLI "), {"flc", "*.flc;*.fli"}},
    {fourCharCode("FMP5"), {"fp5", "*.fp5"}},
    {fourCharCode("FPix"), {"fpx", "*.fpx"}},
    {fourCharCode("GIF "), {"gif", "*.gif"}},
    {fourCharCode("GIFf"), {"gif", "*.gif"}},
    {fourCharCode("JFIF"), {"jpg", "*.jpg"}},
    {fourCharCode("JPEG"), {"jpg", "*.jpg;*.jpeg"}},
    {fourCharCode("MP3 "), {"mp3", "*.mp3;*.swa"}},
    {fourCharCode("MPG3"), {"mp3", "*.mp3;*.swa"}},
    {fourCharCode("Mp3 "), {"mp3", "*.mp3;*.swa"}},
    {fourCharCode("PLAY"), {"mp3", "*.mp3;*.swa"}},
    {fourCharCode("SwaT"), {"mp3", "*.mp3;*.swa"}},
    {fourCharCode("MPEG"), {"mpg", kMpegAudioPatterns}},
    {fourCharCode("MPGa"), {"mpg", kMpegPatterns}},
    {fourCharCode("MPGv"), {"mpg", kMpegPatterns}},
    {fourCharCode("MPGx"), {"mpg", kMpegPatterns}},
    {fourCharCode("Midi"), {"mid", "*.mid;*.mifi;*.smf;*.kar"}},
    {fourCharCode("MooV"), {"mov", "*.mov;*.qt"}},
    {fourCharCode("PDF "), {"pdf", "*.pdf"}},
    {fourCharCode("PICT"), {"pct", "*.pct;*.pict;*.pic"}},
    {fourCharCode("PNG "), {"png", "*.png"}},
    {fourCharCode("PNGf"), {"png", "*.png"}},
    {fourCharCode("PNTG"), {"mac", "*.mac;*.pntg;*.pnt"}},
    {fourCharCode("SD2 "), {"sd2", "*.sd2"}},
    {fourCharCode("Sd2f"), {"sd2", "*.sd2"}},
    {fourCharCode("SLD8"), {"ppt", "*.ppt"}},
    {fourCharCode("SWF "), {"swf", "*.swf"}},
    {fourCharCode("SWFL"), {"swf", "*.swf"}},
    {fourCharCode("TEXT"), {"txt", "*.txt;*.sdp"}},
    {fourCharCode("TIFF"), {"tif", "*.tif;*.tiff"}},
    {fourCharCode("TPIC"), {"tga", "*.tga"}},
    {fourCharCode("ULAW"), {"ulw", "*.ulw;*.au;*.snd"}},
    {fourCharCode("VfW "), {"avi", "*.avi"}},
    {fourCharCode("Vfw "), {"avi", "*.avi"}},
    {fourCharCode("W8BN"), {"doc", "*.doc"}},
    {fourCharCode("WDBN"), {"doc", "*.doc"}},
    {fourCharCode("XLS8"), {"xls", "*.xls"}},
    {fourCharCode("dvc!"), {"dv", "*.dv;*.dif"}},
    {fourCharCode("qtif"), {"qtif", "*.qtif;*.qif;*.qti"}},
    {fourCharCode("sfil"), {"snd", "*.snd"}},
    {fourCharCode("trak"), {"cda", "*.cda"}},
};

}  // namespace

bool typeExtension(uint32_t code, FileType* out) {
    for (const FileTypeRow& row : kFileTypes) {
        if (row.code == code) {
            if (out != nullptr) {
                *out = row.type;
            }
            return true;
        }
    }
    return false;
}

}  // namespace korvane
