// The installer's GB2312 texts. This file is compiled with
// -fexec-charset=GBK, so every narrow literal below is GB2312 in the binary
// while the source stays readable UTF-8. Keep Big5 texts out of this file.
#include "texts.h"

const char kTextOk[] = "确认 OK";
const char kTextCancel[] = "取消 Cancel";
const char kTextBack[] = "退一步 Back";
const char kTextYes[] = "是 Yes";
const char kTextNo[] = "否 No";
const char kTextNext[] = "下一步 Next";
const char kTextAgreeInstall[] = "同意/安装 Agree/Install";
const char kTextBrowse[] = "改变 Browse ....";
const char kTextInstallPath[] = "安装路径： (Install Path)";
const char kTextDirectories[] = "路径 (Directories):";
const char kTextPanelTavik[] = "《塔维克》 Tavik";
const char kTextDrives[] = "磁盘 (Drives):";
const char kTextPanelEditor[] = "沐编 Roved Editor";
const char kTextPanelSetup[] = "安装程序";
const char kTextDisplayQuestion[] = "以上中文显示正确吗 (Is the Above Chinese Display OK)?";
const char kTextDisplaySample[] = "日出江花红胜火";
const char kTextLanguageLabel[] = "User Interface Language 用户界面语言";

const char kTextDesktopIcon[] = "建立桌面图标？  (Place an icon on Desktop)";
const char kTextDisplayOk[] = "正确(OK)";
const char kTextDisplayNotOk[] = "不正确(NO)";

const char kTextLanguageEnglish[] = "English 英文";
const char kTextLanguageSimplified[] = "Chinese(Simplified)  中文简体";
const char kTextLanguageTraditional[] = "Chinese(Traditional) 中文繁体";

const char kTextMemoryCn[] = "内存不够。安装无法继续。";
const char kTextMemoryEn[] = "Memory not enough!";
const char kTextAnswerCn[] = "请您回答提问.";
const char kTextAnswerEn[] = "Please select a choice.";
const char kTextSuccessCn[] = "祝贺您：安装顺利完成！";
const char kTextSuccessEn[] = "Congratulations! Installation Success!";
const char kTextSpeechCn[] = "下面安装微软的语音模块 SAPI5.1.(安装时最好有系统管理员权限)";
const char kTextSpeechEn[] =
    "Now install speech module SAPI5.1 from Microsoft. "
    "(Install with Administrator Right is Recommended)";
const char kTextFailedCn[] = "安装失败！请检查一下系统后，再重新安装。谢谢！";
const char kTextFailedEn[] =
    "Installation failed. Please check your system "
    "(quit all Tavik applications) and try again.";
const char kTextFolderCn[] =
    "无法建目录。请检查所列目录是否合法（注意：子目录只能在已存在的目录下建）。";
const char kTextFolderEn[] = "Cannot create folder!";
const char kTextFolderHintEn[] = "%s Please check folder path.";
const char kTextWordBaseCn[] = "安装目录有老词库。是否安装新词库(会冲掉老词库)?";
const char kTextWordBaseEn[] = "Old CiKu (Word Base) is detected. Replace it with new CiKu?";
const char kTextStartFolderCn[] = "无法建目录(%s)!";
const char kTextWriteCn[] = "文件 %s 没能写完整。请检查磁盘后再重新安装。";
const char kTextWriteEn[] = "Could not write the file %s whole. Please check the disk and install again.";
const wchar_t kTextInstallingReason[] = L"正在安装塔维克沐编 Installing Tavik Roved Editor";
const char kTextStartMenuCn[] =
    "无法在 Start 菜单中为本程序建立一个条目。很抱歉，只好请您以后自已建立了。";
const char kTextStartMenuEn[] = "Failed to create an entry on Start Menu.";

static const char kGbEditorName[] = "塔维克沐编";
static const char kGbUninstallerName[] = "塔维克沐编卸载";
static const char kGbNotesEditorName[] = "塔维克文本编辑";

const char* const kEditorName[kLanguageCount] = {"Tavik Roved Editor", kGbEditorName, kBig5EditorName};
const char* const kUninstallerName[kLanguageCount] = {"Tavik Roved Editor UnInstall", kGbUninstallerName,
                                         kBig5UninstallerName};
const char* const kNotesEditorName[kLanguageCount] = {"Morvelpad", kGbNotesEditorName, kBig5NotesEditorName};
