// The installer's own texts. The Chinese ones reach the binary as GB2312
// (texts_gb2312.cpp) or Big5 (texts_big5.cpp) bytes; the sources stay UTF-8.
#pragma once

#include "resources/languages.h"

// Button and label captions (GB2312).
extern const char kTextOk[];              // "确认 OK"
extern const char kTextCancel[];          // "取消 Cancel"
extern const char kTextBack[];            // "退一步 Back"
extern const char kTextYes[];             // "是 Yes"
extern const char kTextNo[];              // "否 No"
extern const char kTextNext[];            // "下一步 Next"
extern const char kTextAgreeInstall[];    // "同意/安装 Agree/Install"
extern const char kTextBrowse[];          // "改变 Browse ...."
extern const char kTextInstallPath[];     // "安装路径： (Install Path)"
extern const char kTextDirectories[];     // "路径 (Directories):"
extern const char kTextPanelTavik[];      // "《塔维克》 Tavik"
extern const char kTextDrives[];          // "磁盘 (Drives):"
extern const char kTextPanelEditor[];     // "沐编 Roved Editor"
extern const char kTextPanelSetup[];      // "安装程序"
extern const char kTextDisplayQuestion[]; // "以上中文显示正确吗 (Is the Above Chinese Display OK)?"
extern const char kTextDisplaySample[];   // "日出江花红胜火"
extern const char kTextLanguageLabel[];   // "User Interface Language 用户界面语言"

// Check-box captions (GB2312).
extern const char kTextDesktopIcon[];     // "建立桌面图标？  (Place an icon on Desktop)"
extern const char kTextDisplayOk[];       // "正确(OK)"
extern const char kTextDisplayNotOk[];    // "不正确(NO)"

// Language list items (GB2312), in item-data order 0, 1, 2.
extern const char kTextLanguageEnglish[];     // "English 英文"
extern const char kTextLanguageSimplified[];  // "Chinese(Simplified)  中文简体"
extern const char kTextLanguageTraditional[]; // "Chinese(Traditional) 中文繁体"

// Messages: Chinese (GB2312) and English halves.
extern const char kTextMemoryCn[];        // "内存不够。安装无法继续。"
extern const char kTextMemoryEn[];
extern const char kTextAnswerCn[];        // "请您回答提问."
extern const char kTextAnswerEn[];
extern const char kTextSuccessCn[];       // "祝贺您：安装顺利完成！"
extern const char kTextSuccessEn[];
extern const char kTextSpeechCn[];        // "下面安装微软的语音模块 ..."
extern const char kTextSpeechEn[];
extern const char kTextFailedCn[];        // "安装失败！..."
extern const char kTextFailedEn[];
extern const char kTextFolderCn[];        // "无法建目录。请检查所列目录是否合法（...）。"
extern const char kTextFolderEn[];        // "Cannot create folder!"
extern const char kTextFolderHintEn[];    // "%s Please check folder path."
extern const char kTextWordBaseCn[];      // "安装目录有老词库。..."
extern const char kTextWordBaseEn[];
extern const char kTextStartFolderCn[];   // "无法建目录(%s)!"
extern const char kTextStartMenuCn[];     // "无法在 Start 菜单中为本程序建立一个条目。..."
extern const char kTextStartMenuEn[];
extern const char kTextWriteCn[];         // "文件 %s 没能写完整。..." (a write in place failed)
extern const char kTextWriteEn[];         // "Could not write the file %s whole. ..."
// Shown by Windows (Vista on) to a user who logs off while the install runs.
extern const wchar_t kTextInstallingReason[];  // "正在安装塔维克沐编 Installing Tavik Roved Editor"

// Names handed to the shell, indexed by LanguageColumn(uiLanguage); the
// Traditional column is Big5.
extern const char* const kEditorName[kLanguageCount];  // also the Start-menu folder
extern const char* const kUninstallerName[kLanguageCount];
extern const char* const kNotesEditorName[kLanguageCount];

// Big5 halves of the tables above (texts_big5.cpp).
extern const char kBig5EditorName[];
extern const char kBig5UninstallerName[];
extern const char kBig5NotesEditorName[];
