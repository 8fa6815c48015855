// The install manifest table (see manifest.h).
#include "base/manifest.h"

#include <cstring>

namespace {
constexpr FailureRule kStop = FailureRule::kStop;
constexpr FailureRule kContinue = FailureRule::kContinue;
constexpr RowCondition kAlways = RowCondition::kAlways;
constexpr RowCondition kWordBaseReplaced = RowCondition::kWordBaseReplaced;
constexpr ContentKind kData = ContentKind::kData;
constexpr ContentKind kText = ContentKind::kText;
constexpr ContentKind kExecutable = ContentKind::kExecutable;
constexpr ContentKind kHtml = ContentKind::kHtml;
constexpr ContentKind kBmp = ContentKind::kBmp;
constexpr ContentKind kPng = ContentKind::kPng;
constexpr ContentKind kHelp = ContentKind::kHelp;
constexpr ContentKind kConfig = ContentKind::kConfig;
constexpr ContentKind kGlyphFont = ContentKind::kGlyphFont;
constexpr ContentKind kLicenceCn = ContentKind::kLicenceCn;
constexpr ContentKind kLicenceEn = ContentKind::kLicenceEn;
constexpr ContentKind kWordBaseIndex = ContentKind::kWordBaseIndex;
}  // namespace

// Columns: id, file name, read-only, hidden, on failure, condition,
// progress before the row, content kind; the comment is the row number.
const ManifestRow kManifest[kManifestRowCount] = {
    { 106, "pykeys.dic",                         1, 1, kStop,     kAlways,             0, kData},  // 1
    { 131, "gbkflat.dic",                        1, 1, kStop,     kAlways,             0, kData},  // 2
    { 143, "py_1key.dic",                        1, 1, kStop,     kAlways,             0, kText},  // 3
    { 111, "sort.dic",                           0, 1, kStop,     kAlways,            15, kData},  // 4
    { 153, "chdicres.bin",                       1, 1, kContinue, kAlways,            20, kData},  // 5
    { 123, "ChnDic2.bin",                        1, 1, kContinue, kAlways,             0, kData},  // 6
    { 118, "duplicat.dic",                       1, 0, kContinue, kAlways,             0, kText},  // 7
    { 137, "ch2key.bin",                         1, 1, kContinue, kAlways,             0, kData},  // 8
    { 114, "readme2.igb",                        1, 1, kStop,     kAlways,             0, kText},  // 9
    { 115, "readme3.igb",                        1, 1, kStop,     kAlways,             0, kText},  // 10
    { 120, "dodazaze.ini",                       1, 1, kStop,     kAlways,             0, kConfig},  // 11
    { 122, "dodazaze_en.ini",                    1, 1, kContinue, kAlways,             0, kText},  // 12
    { 203, "tips.txt",                           1, 1, kContinue, kAlways,             0, kText},  // 13
    { 204, "tips_en.txt",                        1, 1, kContinue, kAlways,             0, kText},  // 14
    { 165, "cikuguide.txt",                      1, 1, kContinue, kAlways,             0, kText},  // 15
    { 110, "ChnBmp.bin",                         1, 1, kStop,     kAlways,            25, kGlyphFont},  // 16
    { 116, "keymap.bmp",                         1, 1, kStop,     kAlways,            30, kBmp},  // 17
    { 136, "keymapPY.bmp",                       1, 1, kStop,     kAlways,             0, kBmp},  // 18
    { 138, "keymapPYStd.bmp",                    1, 1, kStop,     kAlways,             0, kBmp},  // 19
    { 140, "keymapSP.bmp",                       1, 1, kStop,     kAlways,             0, kBmp},  // 20
    { 141, "keymapSPStd.bmp",                    1, 1, kStop,     kAlways,             0, kBmp},  // 21
    { 149, "keymapSP1.bmp",                      1, 1, kStop,     kAlways,             0, kBmp},  // 22
    { 151, "keymapSPStd1.bmp",                   1, 1, kStop,     kAlways,             0, kBmp},  // 23
    { 150, "keymapSP2.bmp",                      1, 1, kStop,     kAlways,             0, kBmp},  // 24
    { 152, "keymapSPStd2.bmp",                   1, 1, kStop,     kAlways,             0, kBmp},  // 25
    { 127, "CiZuFlat.igb",                       0, 0, kStop,     kWordBaseReplaced,  35, kData},  // 26
    { 130, "ch2py.bin",                          1, 1, kStop,     kAlways,            45, kData},  // 27
    { 191, "ch2pypz1.bin",                       1, 1, kStop,     kAlways,             0, kData},  // 28
    { 192, "ch2pypz2.bin",                       1, 1, kStop,     kAlways,             0, kData},  // 29
    { 132, "bihuaku.bin",                        1, 1, kStop,     kAlways,             0, kData},  // 30
    { 144, "vmodewords.dic",                     1, 1, kContinue, kAlways,             0, kText},  // 31
    { 162, "gbk2b5.bin",                         1, 1, kContinue, kAlways,             0, kData},  // 32
    { 189, "b5gbk.bin",                          1, 1, kContinue, kAlways,             0, kData},  // 33
    { 173, "fccdic.bin",                         1, 1, kContinue, kAlways,             0, kData},  // 34
    { 241, "depend1.map",                        1, 1, kContinue, kAlways,             0, kData},  // 35
    { 240, "depend2.map",                        1, 1, kContinue, kAlways,             0, kData},  // 36
    { 248, "mi_bihua1_dups_prefered_codes.bin",  1, 1, kContinue, kAlways,             0, kText},  // 37
    { 249, "mi_bihua1.bin",                      1, 1, kContinue, kAlways,             0, kData},  // 38
    { 250, "mi_bihua1_danjianzuhe.bin",          1, 1, kContinue, kAlways,             0, kData},  // 39
    { 251, "ZiPartsBase.dat",                    1, 1, kContinue, kAlways,             0, kText},  // 40
    { 252, "ZiParts.dat",                        1, 1, kContinue, kAlways,             0, kText},  // 41
    { 253, "PelkoShow.exe",                      1, 1, kContinue, kAlways,             0, kExecutable},  // 42
    { 254, "zi_ordered_by_usage.txt",            1, 1, kContinue, kAlways,             0, kText},  // 43
    { 255, "pk_3lianjian.bmp",                   1, 0, kContinue, kAlways,             0, kBmp},  // 44
    { 256, "Pelkokeymap.bmp",                    1, 0, kContinue, kAlways,             0, kBmp},  // 45
    { 175, "tavikguide.htm",                     1, 0, kContinue, kAlways,             0, kHtml},  // 46
    { 176, "TVKGUIDE.HTM",                       1, 0, kContinue, kAlways,             0, kHtml},  // 47
    { 177, "TVKEditGuide.htm",                   1, 0, kContinue, kAlways,             0, kHtml},  // 48
    { 178, "morvelguide.htm",                    1, 0, kContinue, kAlways,             0, kHtml},  // 49
    { 179, "Chinese_input_samples.htm",          1, 0, kContinue, kAlways,             0, kHtml},  // 50
    { 174, "input_assist.htm",                   1, 0, kContinue, kAlways,             0, kHtml},  // 51
    { 180, "fast_steps.htm",                     1, 0, kContinue, kAlways,             0, kHtml},  // 52
    { 181, "pinyin_pinxing.htm",                 1, 0, kContinue, kAlways,             0, kHtml},  // 53
    { 182, "xingmaguide.htm",                    1, 0, kContinue, kAlways,             0, kHtml},  // 54
    { 183, "xingmajiyi.htm",                     1, 0, kContinue, kAlways,             0, kHtml},  // 55
    { 184, "kuai_jian.htm",                      1, 0, kContinue, kAlways,             0, kHtml},  // 56
    { 194, "tavikguide_en.htm",                  1, 0, kContinue, kAlways,             0, kHtml},  // 57
    { 195, "TVKGUIDE_en.HTM",                    1, 0, kContinue, kAlways,             0, kHtml},  // 58
    { 196, "TVKEditGuide_en.htm",                1, 0, kContinue, kAlways,             0, kHtml},  // 59
    { 197, "morvelguide_en.htm",                 1, 0, kContinue, kAlways,             0, kHtml},  // 60
    { 198, "Chinese_input_samples_en.htm",       1, 0, kContinue, kAlways,             0, kHtml},  // 61
    { 193, "input_assist_en.htm",                1, 0, kContinue, kAlways,             0, kHtml},  // 62
    { 199, "fast_steps_en.htm",                  1, 0, kContinue, kAlways,             0, kHtml},  // 63
    { 200, "pinyin_pinxing_en.htm",              1, 0, kContinue, kAlways,             0, kHtml},  // 64
    { 201, "kuai_jian_en.htm",                   1, 0, kContinue, kAlways,             0, kHtml},  // 65
    { 294, "tavikguide_b5.htm",                  1, 0, kContinue, kAlways,             0, kHtml},  // 66
    { 295, "TVKGUIDE_b5.HTM",                    1, 0, kContinue, kAlways,             0, kHtml},  // 67
    { 296, "TVKEditGuide_b5.htm",                1, 0, kContinue, kAlways,             0, kHtml},  // 68
    { 297, "morvelguide_b5.htm",                 1, 0, kContinue, kAlways,             0, kHtml},  // 69
    { 298, "Chinese_input_samples_b5.htm",       1, 0, kContinue, kAlways,             0, kHtml},  // 70
    { 293, "input_assist_b5.htm",                1, 0, kContinue, kAlways,             0, kHtml},  // 71
    { 299, "fast_steps_b5.htm",                  1, 0, kContinue, kAlways,             0, kHtml},  // 72
    { 300, "pinyin_pinxing_b5.htm",              1, 0, kContinue, kAlways,             0, kHtml},  // 73
    { 301, "kuai_jian_b5.htm",                   1, 0, kContinue, kAlways,             0, kHtml},  // 74
    { 205, "Parts2Zis.PNG",                      1, 1, kContinue, kAlways,             0, kPng},  // 75
    { 206, "HanZiInfo_en.PNG",                   1, 1, kContinue, kAlways,             0, kPng},  // 76
    { 207, "HanZiInfo.PNG",                      1, 1, kContinue, kAlways,             0, kPng},  // 77
    { 208, "FindSaying.PNG",                     1, 1, kContinue, kAlways,             0, kPng},  // 78
    { 257, "TavikZezozEditorGuide.chm",          1, 0, kContinue, kAlways,             0, kHelp},  // 79
    { 119, "Welcome_tvkedit.bmp",                1, 0, kContinue, kAlways,             0, kBmp},  // 80
    { 171, "TVKEditUnInstall.exe",               1, 0, kContinue, kAlways,             0, kExecutable},  // 81
    { 164, "License_en.txt",                     1, 0, kContinue, kAlways,             0, kLicenceEn},  // 82
    { 163, "License_cn.txt",                     1, 0, kContinue, kAlways,             0, kLicenceCn},  // 83
    { 190, "Welcome_morvel.bmp",                 1, 0, kContinue, kAlways,             0, kBmp},  // 84
    { 210, "pysampci_manual3.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 85
    { 211, "pysampcaret.PNG",                    1, 0, kContinue, kAlways,             0, kPng},  // 86
    { 212, "pysampci_manual.PNG",                1, 0, kContinue, kAlways,             0, kPng},  // 87
    { 213, "pysampci_manual1.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 88
    { 214, "pysampci_manual2.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 89
    { 215, "PYSAMP1.PNG",                        1, 0, kContinue, kAlways,             0, kPng},  // 90
    { 216, "pysampci_manual4.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 91
    { 217, "pysampci_manual5.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 92
    { 218, "pysampci1.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 93
    { 219, "pysampci2.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 94
    { 220, "pysampci3.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 95
    { 221, "pysampci4.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 96
    { 222, "pysampci5.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 97
    { 223, "pysampci6.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 98
    { 224, "pysampci7.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 99
    { 225, "pysampci8.PNG",                      1, 0, kContinue, kAlways,             0, kPng},  // 100
    { 226, "pysampforecast.PNG",                 1, 0, kContinue, kAlways,             0, kPng},  // 101
    { 227, "pysampshengdiao3.PNG",               1, 0, kContinue, kAlways,             0, kPng},  // 102
    { 139, "Keskor.exe",                         1, 0, kStop,     kAlways,            50, kExecutable},  // 103
    { 126, "pxcizudic.idx",                      0, 0, kContinue, kWordBaseReplaced,  55, kData},  // 104
    { 128, "pycizudic.idx",                      0, 0, kStop,     kWordBaseReplaced,  65, kWordBaseIndex},  // 105
    { 129, "py2_3ZiCi1stZuMu.idx",               0, 0, kStop,     kWordBaseReplaced,   0, kData},  // 106
    { 109, "Morvel.exe",                         1, 0, kStop,     kAlways,             0, kExecutable},  // 107
    {1021, "TVKEdit.exe",                        1, 0, kContinue, kAlways,            70, kExecutable},  // 108
    {1022, "readme2he.igb",                      1, 1, kContinue, kAlways,             0, kText},  // 109
    {1023, "Mswd6_32.wpc",                       1, 1, kContinue, kAlways,             0, kExecutable},  // 110
    { 187, "b52Gbs.tab",                         0, 0, kContinue, kAlways,             0, kText},  // 111
    { 188, "Gb2b5s.tab",                         0, 0, kContinue, kAlways,             0, kText},  // 112
    { 145, "ZiDef.dic",                          1, 1, kContinue, kAlways,             0, kData},  // 113
    { 146, "cedict_ts.u8",                       1, 1, kContinue, kAlways,             0, kText},  // 114
    {1032, "Nodrix.exe",                         1, 1, kContinue, kAlways,             0, kExecutable},  // 115
    {1033, "RilmoGuide.htm",                     1, 1, kContinue, kAlways,             0, kHtml},  // 116
    {1034, "RilmoGuide_en.htm",                  1, 1, kContinue, kAlways,             0, kHtml},  // 117
    {1035, "Rilmo1.PNG",                         1, 1, kContinue, kAlways,             0, kPng},  // 118
    {1036, "Rilmo2.PNG",                         1, 1, kContinue, kAlways,             0, kPng},  // 119
    {1037, "RilmoOpt.PNG",                       1, 1, kContinue, kAlways,             0, kPng},  // 120
    { 271, "ZiPartsStd.dat",                     1, 1, kContinue, kAlways,             0, kData},  // 121
    { 272, "ZiPartsBaseStd.dat",                 1, 1, kContinue, kAlways,             0, kData},  // 122
};

const ExtraPayload kExtraPayloads[kExtraPayloadCount] = {
    {1029, "Sapi51forTavik.msi", ContentKind::kPackage},
};

std::size_t LongestInstallFolder(std::size_t pathBufferSize) {
  std::size_t longestName = 0;
  for (const ManifestRow& row : kManifest) {
    std::size_t length = std::strlen(row.fileName);
    if (length > longestName) longestName = length;
  }
  // The folder, a backslash, the name and the terminator.
  return pathBufferSize > longestName + 2 ? pathBufferSize - longestName - 2 : 0;
}
