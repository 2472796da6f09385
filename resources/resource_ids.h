// Resource and dialog item numbers of the module, shared by korvane.rc and the code.
// The resource compiler reads only the #defines; C++ code uses the typed constants.
#ifndef KORVANE_RESOURCES_RESOURCE_IDS_H
#define KORVANE_RESOURCES_RESOURCE_IDS_H

// Strings the host reads from the module.
#define KORVANE_IDS_DISPLAY_NAME 128
#define KORVANE_IDS_DESCRIPTION 129
#define KORVANE_IDS_HOST_OPTIONS 131
#define KORVANE_IDS_FIRST_FUNCTION_NAME 144  // + function number, 0..39

// Dialog templates.
#define KORVANE_IDD_ANSWER 101
#define KORVANE_IDD_ASK 102
#define KORVANE_IDD_PROGRESS 105
#define KORVANE_IDD_COMPRESSION 107
#define KORVANE_IDD_EXPORT 108  // our part of the system's save dialog
#define KORVANE_IDD_PLATFORM_NOTICE 23809

// The progress bar's stripe image.
#define KORVANE_IDB_PROGRESS_STRIPES 106

// Dialog items. The buttons OK and cancel are IDOK (1) and IDCANCEL (2).
#define KORVANE_IDC_OTHER 3            // Answer: the third button
#define KORVANE_IDC_MESSAGE 1000       // every dialog: the message line
#define KORVANE_IDC_DESCRIPTION 1001   // Answer: the description line
#define KORVANE_IDC_ICON 1002          // Answer, platform notice: the icon
#define KORVANE_IDC_ADDRESS 1003       // platform notice: where to get the platform
#define KORVANE_IDC_ENTRY 1004         // Ask: the entry field
#define KORVANE_IDC_PROGRESS_BAR 1006  // progress dialog: the bar
#define KORVANE_IDC_CODEC 1010         // compression settings: the codec
#define KORVANE_IDC_QUALITY 1011       // compression settings: the spatial quality
#define KORVANE_IDC_DEPTH 1012         // compression settings: the depth

#ifndef RC_INVOKED
namespace korvane {

inline constexpr int kStringDisplayName = KORVANE_IDS_DISPLAY_NAME;
inline constexpr int kStringDescription = KORVANE_IDS_DESCRIPTION;
inline constexpr int kStringHostOptions = KORVANE_IDS_HOST_OPTIONS;
inline constexpr int kStringFirstFunctionName = KORVANE_IDS_FIRST_FUNCTION_NAME;

inline constexpr int kDialogAnswer = KORVANE_IDD_ANSWER;
inline constexpr int kDialogAsk = KORVANE_IDD_ASK;
inline constexpr int kDialogProgress = KORVANE_IDD_PROGRESS;
inline constexpr int kDialogCompression = KORVANE_IDD_COMPRESSION;
inline constexpr int kDialogExport = KORVANE_IDD_EXPORT;
inline constexpr int kDialogPlatformNotice = KORVANE_IDD_PLATFORM_NOTICE;

inline constexpr int kBitmapProgressStripes = KORVANE_IDB_PROGRESS_STRIPES;

inline constexpr int kItemOther = KORVANE_IDC_OTHER;
inline constexpr int kItemMessage = KORVANE_IDC_MESSAGE;
inline constexpr int kItemDescription = KORVANE_IDC_DESCRIPTION;
inline constexpr int kItemIcon = KORVANE_IDC_ICON;
inline constexpr int kItemAddress = KORVANE_IDC_ADDRESS;
inline constexpr int kItemEntry = KORVANE_IDC_ENTRY;
inline constexpr int kItemProgressBar = KORVANE_IDC_PROGRESS_BAR;
inline constexpr int kItemCodec = KORVANE_IDC_CODEC;
inline constexpr int kItemQuality = KORVANE_IDC_QUALITY;
inline constexpr int kItemDepth = KORVANE_IDC_DEPTH;

}  // namespace korvane
#endif  // RC_INVOKED

#endif  // KORVANE_RESOURCES_RESOURCE_IDS_H
