// Reads the built module's resources back as the host and the module's own code see them:
// the string table, the version record, the dialogs (created for real) and the stripe
// image, and checks the module's one export. Expected texts are written here in UTF-16,
// independently of korvane.rc, so a wrong Shift-JIS conversion shows as a mismatch.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module/function_table.h"
#include "platform/win32/raii.h"
#include "resources/resource_ids.h"
#include "tests/support/code_page.h"
#include "tests/support/module_host.h"

namespace {

using korvane::win32::unique_hbitmap;
using korvane::win32::unique_hdc;
using korvane::win32::unique_hmodule;
using korvane::win32::unique_hwnd;

// The test program is built beside the module.
std::string modulePath() {
    return korvane::test::moduleBesideProgram();
}

unique_hmodule loadAsData() {
    return unique_hmodule(LoadLibraryExA(modulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

std::string loadStringA(HMODULE module, int id) {
    std::array<char, 1024> buffer{};
    const int length = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), length > 0 ? length : 0);
}

std::wstring loadStringW(HMODULE module, int id) {
    std::array<wchar_t, 1024> buffer{};
    const int length = LoadStringW(module, id, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length > 0 ? length : 0);
}

std::wstring windowTextW(HWND window) {
    std::array<wchar_t, 512> buffer{};
    const int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length > 0 ? length : 0);
}

class ModuleResources : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(module_) << "cannot load " << modulePath(); }
    HMODULE module() const { return module_.get(); }

  private:
    unique_hmodule module_ = loadAsData();
};

// ---------------------------------------------------------------------------------------
// String table

constexpr std::array<const char*, korvane::kFunctionCount> kFunctionNames = {
    "KImg-Version",
    "KImg-DrawImage",
    "KImg-GrabImage",
    "KImg-SaveImage",
    "KImg-ImageInfo",
    "KImg-PreviewImage",
    "KImg-CompressImage",
    "KImg-CompressImageDialog",
    "KImg-CheckArea",
    "KImg-Effect",
    "KImg-GetMousePos",
    "KUtl-Version",
    "KUtl-Tag",
    "KUtl-TagList",
    "KUtl-OpenFileDialog",
    "KUtl-OpenFolderDialog",
    "KUtl-SaveFileDialog",
    "KUtl-FindFile",
    "KUtl-VolumeCount",
    "KUtl-GetVolume",
    "KUtl-FolderItemCount",
    "KUtl-GetFolderItem",
    "KUtl-FileInfo",
    "KUtl-SetFileInfo",
    "KUtl-CopyFile",
    "KUtl-MoveFile",
    "KUtl-NewFolder",
    "KUtl-DeleteFile",
    "KUtl-EjectVolume",
    "KUtl-LaunchApp",
    "KUtl-QuitApp",
    "KUtl-PickColor",
    "KUtl-CalcColor",
    "KUtl-CalcPoint",
    "KUtl-CalcRect",
    "KUtl-OpenProgress",
    "KUtl-UpdateProgress",
    "KUtl-CloseProgress",
    "KUtl-Answer",
    "KUtl-Ask",
};

const wchar_t kDescription[] =
    L"様々なフォーマットの画像ファイルを取り込んだり、直接ウィンドウに表示させることができます。\n"
    L"また、ファイル管理に便利な機能もいっぱいです。\n\n";

// The description in Shift-JIS, byte for byte, as an ANSI host on code page 932 reads it.
// Two of its characters have 0x5C (a backslash) as their second byte.
const char kDescriptionShiftJis[] =
    "\x97\x6C\x81\x58\x82\xC8\x83\x74\x83\x48\x81\x5B\x83\x7D\x83\x62\x83\x67\x82\xCC\x89\xE6\x91\x9C\x83\x74"
    "\x83\x40\x83\x43\x83\x8B\x82\xF0\x8E\xE6\x82\xE8\x8D\x9E\x82\xF1\x82\xBE\x82\xE8\x81\x41\x92\xBC\x90\xDA"
    "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xC9\x95\x5C\x8E\xA6\x82\xB3\x82\xB9\x82\xE9\x82\xB1\x82\xC6"
    "\x82\xAA\x82\xC5\x82\xAB\x82\xDC\x82\xB7\x81\x42\x0A\x82\xDC\x82\xBD\x81\x41\x83\x74\x83\x40\x83\x43\x83"
    "\x8B\x8A\xC7\x97\x9D\x82\xC9\x95\xD6\x97\x98\x82\xC8\x8B\x40\x94\x5C\x82\xE0\x82\xA2\x82\xC1\x82\xCF\x82"
    "\xA2\x82\xC5\x82\xB7\x81\x42\x0A\x0A";

using korvane::test::kShiftJisCodePage;

TEST_F(ModuleResources, HostReadsDisplayNameAndOptions) {
    EXPECT_EQ(loadStringA(module(), korvane::kStringDisplayName), "Korvane's FileMaker Plug-in");
    EXPECT_EQ(loadStringA(module(), korvane::kStringHostOptions), "KImg1nYYnnn");
}

TEST_F(ModuleResources, FunctionNamesFollowTheirNumbers) {
    for (int number = 0; number < korvane::kFunctionCount; ++number) {
        SCOPED_TRACE(testing::Message() << "function " << number);
        EXPECT_EQ(loadStringA(module(), korvane::kStringFirstFunctionName + number), kFunctionNames[number]);
    }
    EXPECT_EQ(loadStringA(module(), korvane::kStringFirstFunctionName + korvane::kFunctionCount), "")
        << "no name after the last function";
}

TEST_F(ModuleResources, DescriptionIsJapaneseText) {
    EXPECT_EQ(loadStringW(module(), korvane::kStringDescription), kDescription);
}

TEST_F(ModuleResources, DescriptionReadsAsShiftJisOnJapaneseSystems) {
    KORVANE_REQUIRE_CODE_PAGE_932();
    EXPECT_EQ(loadStringA(module(), korvane::kStringDescription), kDescriptionShiftJis);
}

// ---------------------------------------------------------------------------------------
// Version record

TEST(ModuleVersion, RecordCarriesTheVersionText) {
    const std::string path = modulePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, record.data()));

    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\StringFileInfo\\041103a4\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "1, 0, 6, 0509");

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(0, 1)));    // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(509, 6)));  // .6.509
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0411);  // Japanese
    EXPECT_EQ(translation[1], kShiftJisCodePage);
}

// ---------------------------------------------------------------------------------------
// Dialogs

INT_PTR CALLBACK passiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

const wchar_t kDialogFace[] = L"ＭＳ Ｐゴシック";
constexpr int kDialogPoints = 9;
constexpr int kPointsPerInch = 72;

// A rectangle in dialog units, as templates give it.
struct Place {
    int x, y, width, height;
};

struct DialogCase {
    int id;
    const wchar_t* caption;
    int width, height;  // dialog units
    bool closeBox;
};

constexpr DialogCase kDialogs[] = {
    {korvane::kDialogAnswer, L"メッセージ", 215, 61, false},
    {korvane::kDialogAsk, L"メッセージの入力", 187, 59, true},
    {korvane::kDialogProgress, L"処理中", 195, 39, false},
    {korvane::kDialogPlatformNotice, L"Korvane's FileMaker Plug-in", 194, 93, true},
    {korvane::kDialogCompression, L"圧縮の設定", 187, 90, true},
};

// (style & mask) == value picks out the kind of control. Edit and progress controls take
// WS_BORDER off their style and draw the border themselves, so it is not checked.
struct ItemCase {
    int dialog;
    int item;
    const char* windowClass;
    const wchar_t* text;
    Place place;
    LONG styleMask, style;
};

constexpr LONG kButtonKind = BS_TYPEMASK;
constexpr LONG kStaticKind = SS_TYPEMASK;

const ItemCase kItems[] = {
    {korvane::kDialogAnswer, IDOK, "Button", L"OK", {158, 38, 50, 16}, kButtonKind, BS_DEFPUSHBUTTON},
    {korvane::kDialogAnswer, IDCANCEL, "Button", L"ｷｬﾝｾﾙ", {100, 38, 50, 16}, kButtonKind, BS_PUSHBUTTON},
    {korvane::kDialogAnswer, korvane::kItemOther, "Button", L"その他", {7, 38, 50, 16}, kButtonKind, BS_PUSHBUTTON},
    {korvane::kDialogAnswer, korvane::kItemMessage, "Static", L"MESSAGE", {36, 7, 172, 10}, kStaticKind, SS_LEFT},
    {korvane::kDialogAnswer, korvane::kItemDescription, "Static", L"MESSAGE2", {36, 19, 172, 9}, kStaticKind, SS_LEFT},
    {korvane::kDialogAnswer, korvane::kItemIcon, "Static", L"", {7, 7, 20, 20}, kStaticKind, SS_ICON},

    {korvane::kDialogAsk, korvane::kItemMessage, "Static", L"Static111", {7, 7, 173, 9}, kStaticKind, SS_LEFT},
    {korvane::kDialogAsk,
     korvane::kItemEntry,
     "Edit",
     L"",
     {7, 20, 173, 14},
     ES_AUTOHSCROLL | ES_PASSWORD,
     ES_AUTOHSCROLL | ES_PASSWORD},
    {korvane::kDialogAsk, IDOK, "Button", L"OK", {130, 38, 50, 14}, kButtonKind, BS_DEFPUSHBUTTON},
    {korvane::kDialogAsk, IDCANCEL, "Button", L"ｷｬﾝｾﾙ", {72, 38, 50, 14}, kButtonKind, BS_PUSHBUTTON},

    {korvane::kDialogProgress, IDCANCEL, "Button", L"中止", {138, 18, 50, 14}, kButtonKind, BS_PUSHBUTTON},
    {korvane::kDialogProgress,
     korvane::kItemProgressBar,
     PROGRESS_CLASSA,
     L"Progress1",
     {7, 20, 128, 11},
     PBS_SMOOTH,
     PBS_SMOOTH},
    {korvane::kDialogProgress,
     korvane::kItemMessage,
     "Static",
     L"少しお待ちください...",
     {7, 4, 181, 10},
     kStaticKind,
     SS_LEFTNOWORDWRAP},

    {korvane::kDialogPlatformNotice, IDOK, "Button", L"OK", {137, 72, 50, 14}, kButtonKind, BS_DEFPUSHBUTTON},
    {korvane::kDialogPlatformNotice, korvane::kItemIcon, "Static", L"", {7, 7, 20, 20}, kStaticKind, SS_ICON},
    {korvane::kDialogPlatformNotice,
     korvane::kItemMessage,
     "Static",
     L"このパッケージはQuickTimeの機能を利用していますので、QuickTime 3かそれ以降のものがインストールされていないと"
     L"動作しません。\n以下のサイトから最新版のQuickTimeを入手してください。",
     {37, 7, 150, 48},
     kStaticKind,
     SS_LEFT},
    {korvane::kDialogPlatformNotice,
     korvane::kItemAddress,
     "Static",
     L"https://www.apple.com/quicktime/download/",
     {69, 57, 103, 8},
     kStaticKind,
     SS_LEFT},
};

// The module creates its dialogs with the ANSI functions, which pass the texts through
// the ANSI code page: they come out right on a Japanese system only. The templates
// themselves are checked through the wide functions on every system.
enum class Creation { kWide, kAnsi };

std::vector<Creation> creationPaths() {
    if (GetACP() == kShiftJisCodePage) {
        return {Creation::kWide, Creation::kAnsi};
    }
    return {Creation::kWide};
}

const char* nameOf(Creation creation) {
    return creation == Creation::kWide ? "CreateDialogParamW" : "CreateDialogParamA";
}

class ModuleDialogs : public ModuleResources {
  protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    unique_hwnd create(int id, Creation creation = Creation::kWide) const {
        if (creation == Creation::kAnsi) {
            return unique_hwnd(CreateDialogParamA(module(), MAKEINTRESOURCEA(id), nullptr, passiveDialogProc, 0));
        }
        return unique_hwnd(CreateDialogParamW(module(), MAKEINTRESOURCEW(id), nullptr, passiveDialogProc, 0));
    }
    void checkFrame(const DialogCase& expected, Creation creation) const;
    void checkItem(const ItemCase& expected, Creation creation) const;
};

// The pixel rectangle the dialog manager gives a place in dialog units: it converts the
// origin and the size, each rounded on its own.
RECT pixelsOf(HWND dialog, const Place& place) {
    RECT units = {place.x, place.y, place.width, place.height};
    MapDialogRect(dialog, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

TEST_F(ModuleDialogs, TemplatesExist) {
    for (const DialogCase& dialog : kDialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << dialog.id);
        EXPECT_NE(FindResourceA(module(), MAKEINTRESOURCEA(dialog.id), RT_DIALOG), nullptr);
    }
}

TEST_F(ModuleDialogs, FramesAndFonts) {
    for (const Creation creation : creationPaths()) {
        for (const DialogCase& expected : kDialogs) {
            SCOPED_TRACE(testing::Message() << nameOf(creation) << ", dialog " << expected.id);
            checkFrame(expected, creation);
        }
    }
}

void ModuleDialogs::checkFrame(const DialogCase& expected, Creation creation) const {
    const unique_hwnd dialog = create(expected.id, creation);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowTextW(dialog.get()), expected.caption);

    const LONG style = GetWindowLongA(dialog.get(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER),
              WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER);
    EXPECT_EQ((style & WS_SYSMENU) != 0, expected.closeBox);
    EXPECT_EQ(style & WS_VISIBLE, 0) << "the code shows its dialogs itself";

    RECT client = {};
    GetClientRect(dialog.get(), &client);
    const RECT size = pixelsOf(dialog.get(), {0, 0, expected.width, expected.height});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTW font = {};
    const auto fontHandle = reinterpret_cast<HFONT>(SendMessageA(dialog.get(), WM_GETFONT, 0, 0));
    ASSERT_NE(fontHandle, nullptr);
    ASSERT_EQ(GetObjectW(fontHandle, sizeof(font), &font), static_cast<int>(sizeof(font)));
    // The template also asks for SHIFTJIS_CHARSET; Wine's dialog manager always
    // creates the font with DEFAULT_CHARSET, so the character set is not checked.
    EXPECT_STREQ(font.lfFaceName, kDialogFace);
    const auto screen = korvane::win32::get_window_dc(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(kDialogPoints, GetDeviceCaps(screen.get(), LOGPIXELSY), kPointsPerInch));
}

TEST_F(ModuleDialogs, ItemsTextsAndPlaces) {
    for (const Creation creation : creationPaths()) {
        for (size_t row = 0; row < std::size(kItems); ++row) {
            SCOPED_TRACE(testing::Message() << nameOf(creation) << ", row " << row << ": dialog " << kItems[row].dialog
                                            << ", item " << kItems[row].item);
            checkItem(kItems[row], creation);
        }
    }
}

void ModuleDialogs::checkItem(const ItemCase& expected, Creation creation) const {
    const unique_hwnd dialog = create(expected.dialog, creation);
    ASSERT_TRUE(dialog);
    const HWND item = GetDlgItem(dialog.get(), expected.item);
    ASSERT_NE(item, nullptr);

    std::array<char, 64> windowClass{};
    GetClassNameA(item, windowClass.data(), static_cast<int>(windowClass.size()));
    EXPECT_EQ(lstrcmpiA(windowClass.data(), expected.windowClass), 0) << windowClass.data();
    EXPECT_EQ(windowTextW(item), expected.text);
    EXPECT_EQ(GetWindowLongA(item, GWL_STYLE) & expected.styleMask, expected.style);

    RECT rect = {};
    GetWindowRect(item, &rect);
    MapWindowPoints(nullptr, dialog.get(), reinterpret_cast<POINT*>(&rect), 2);
    const RECT place = pixelsOf(dialog.get(), expected.place);
    EXPECT_EQ(rect.left, place.left);
    EXPECT_EQ(rect.top, place.top);
    EXPECT_EQ(rect.right, place.right);
    EXPECT_EQ(rect.bottom, place.bottom);
}

TEST_F(ModuleDialogs, ItemCountsAndDefaultButtons) {
    struct Case {
        int dialog;
        int items;
        int defaultButton;
    };
    constexpr Case kCases[] = {
        {korvane::kDialogAnswer, 6, IDOK},      {korvane::kDialogAsk, 4, IDOK},
        {korvane::kDialogProgress, 3, 0},       {korvane::kDialogPlatformNotice, 4, IDOK},
        {korvane::kDialogCompression, 8, IDOK},
    };
    for (const Case& expected : kCases) {
        SCOPED_TRACE(testing::Message() << "dialog " << expected.dialog);
        const unique_hwnd dialog = create(expected.dialog);
        ASSERT_TRUE(dialog);
        int items = 0;
        for (HWND child = GetWindow(dialog.get(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            ++items;
        }
        EXPECT_EQ(items, expected.items);
        if (expected.defaultButton != 0) {
            EXPECT_EQ(LOWORD(SendMessageA(dialog.get(), DM_GETDEFID, 0, 0)), expected.defaultButton);
        }
    }
}

// Our part of the system's save dialog: a child with no frame of its own, whose caption
// the code gives the save dialog as its title.
TEST_F(ModuleDialogs, TheExportPartIsAChildWithATitle) {
    const unique_hwnd parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(parent);
    const unique_hwnd part(
        CreateDialogParamW(module(), MAKEINTRESOURCEW(korvane::kDialogExport), parent.get(), passiveDialogProc, 0));
    ASSERT_TRUE(part);
    EXPECT_EQ(windowTextW(part.get()), L"画像の書き出し");
    const LONG style = GetWindowLongA(part.get(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_CAPTION | WS_POPUP), WS_CHILD);
    EXPECT_EQ(windowTextW(GetDlgItem(part.get(), korvane::kItemMessage)),
              L"書き出す画像の形式は「ファイルの種類」で選んでください。");
}

// ---------------------------------------------------------------------------------------
// Stripe image

constexpr int kStripesWidth = 438;
constexpr int kStripesHeight = 16;
constexpr int kStripesBitsPerPixel = 4;
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);

TEST_F(ModuleResources, StripeImageIsSixteenColours) {
    const HRSRC found = FindResourceA(module(), MAKEINTRESOURCEA(korvane::kBitmapProgressStripes), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    ASSERT_GE(SizeofResource(module(), found), sizeof(BITMAPINFOHEADER));
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module(), found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, kStripesWidth);
    EXPECT_EQ(header->biHeight, kStripesHeight);
    EXPECT_EQ(header->biBitCount, kStripesBitsPerPixel);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
}

TEST_F(ModuleResources, StripesRunDiagonally) {
    struct Point {
        int x, y;  // from the top left
        COLORREF colour;
    };
    // The top row repeats every 40 pixels: 11 blue, 9 white, 11 grey, 9 white; each row
    // below is moved one pixel to the right.
    constexpr Point kPoints[] = {
        {0, 0, kBlue},       {10, 0, kBlue},   {11, 0, kWhite},     {19, 0, kWhite},       {20, 0, kLightGrey},
        {30, 0, kLightGrey}, {31, 0, kWhite},  {39, 0, kWhite},     {40, 0, kBlue},        {0, 1, kWhite},
        {1, 1, kBlue},       {11, 1, kBlue},   {12, 1, kWhite},     {15, 15, kBlue},       {14, 15, kWhite},
        {25, 15, kBlue},     {26, 15, kWhite}, {0, 15, kLightGrey}, {435, 15, kLightGrey}, {437, 15, kLightGrey},
        {437, 0, kWhite},
    };
    const unique_hbitmap bitmap(LoadBitmapA(module(), MAKEINTRESOURCEA(korvane::kBitmapProgressStripes)));
    ASSERT_TRUE(bitmap);
    BITMAP size = {};
    ASSERT_NE(GetObjectA(bitmap.get(), sizeof(size), &size), 0);
    EXPECT_EQ(size.bmWidth, kStripesWidth);
    EXPECT_EQ(size.bmHeight, kStripesHeight);

    const unique_hdc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const auto selected = korvane::win32::select_object(dc.get(), bitmap.get());
    ASSERT_TRUE(selected);
    for (size_t row = 0; row < std::size(kPoints); ++row) {
        const Point& point = kPoints[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": (" << point.x << ", " << point.y << ")");
        EXPECT_EQ(GetPixel(dc.get(), point.x, point.y), point.colour);
    }
}

// ---------------------------------------------------------------------------------------
// Export

// tools/check-module checks the export table itself; this is the host's view of it.
TEST(ModuleExport, HostFindsTheUndecoratedEntryPoint) {
    const unique_hmodule module(LoadLibraryA(modulePath().c_str()));
    ASSERT_TRUE(module);
    EXPECT_NE(GetProcAddress(module.get(), "FMExternCallProc"), nullptr);
    EXPECT_EQ(GetProcAddress(module.get(), "FMExternCallProc@4"), nullptr);
    EXPECT_EQ(GetProcAddress(module.get(), "_FMExternCallProc@4"), nullptr);

    const auto* base = reinterpret_cast<const BYTE*>(module.get());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(entry.VirtualAddress, 0u);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "Korvane.fmx");
}

}  // namespace
