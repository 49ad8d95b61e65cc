#include "SdCardNotes.h"

#include "Language.h"

#include <iterator>

namespace {

// Leading and trailing blanks are part of the texts: they lay the lines out in the memo.
constexpr const char16_t *English[] = {
    u"   Special notes on using SD CARD",
    u"   1. Choose valid and compatible brand & model number of SD CARD.",
    u"   2. If the SD CARD had data, please backup the data first. ",
    u"   3. The type of format to SD Card must be FAT32. ",
    u"   4. The disk label of SD CARD should be changed as KT480NT.",
    u"   5. Run the SD CARD Initial Utility to copy the associated files to SD CARD. ",
    u"   6. The procedures of insert the SD CARD to controller as following： ",
    u"       <1> Turn off the Controller.",
    u"       <2> Insert SD CARD into the slot.  ",
    u"       <3> To screw the SD CARD by 3 screws. ",
    u"       <4> Turn on the Controller. ",
};

constexpr const char16_t *Traditional[] = {
    u"  使用SD CARD注意事項：",
    u"1. Choose Valid SD CARD Brad & Model Number (選擇相容認可的SD卡廠牌與型號)",
    u"2. Backup Data First (若原SD Card內有資料 請先備份原資料) ",
    u"3. SD Card 格式化成 FAT32 (必須執行)",
    u"4. 磁碟標籤改為 KT480NT (必須執行)",
    u"5. 必須執行SD CARD初始化程式 將所需的資料COPY至SD CARD中 ",
    u"6. 將SD CARD裝入裝置中的流程如下 ",
    u"       <1>Controller電源關閉  ",
    u"       <2>將SD CARD裝入SD CARD槽  ",
    u"       <3>SD CARD 3顆螺絲鎖緊 ",
    u"       <4>Controller電源開啟",
};

// Character for character the Traditional lines in simplified forms.
constexpr const char16_t *Simplified[] = {
    u"  使用SD CARD注意事项：",
    u"1. Choose Valid SD CARD Brad & Model Number (选择相容认可的SD卡厂牌与型号)",
    u"2. Backup Data First (若原SD Card内有资料 请先备份原资料) ",
    u"3. SD Card 格式化成 FAT32 (必须执行)",
    u"4. 磁碟标签改为 KT480NT (必须执行)",
    u"5. 必须执行SD CARD初始化程式 将所需的资料COPY至SD CARD中 ",
    u"6. 将SD CARD装入装置中的流程如下 ",
    u"       <1>Controller电源关闭  ",
    u"       <2>将SD CARD装入SD CARD槽  ",
    u"       <3>SD CARD 3颗螺丝锁紧 ",
    u"       <4>Controller电源开启",
};

static_assert(std::size(English) == SdCardNoteLineCount);
static_assert(std::size(Traditional) == SdCardNoteLineCount);
static_assert(std::size(Simplified) == SdCardNoteLineCount);

QStringList LinesOf(const char16_t *const (&lines)[SdCardNoteLineCount])
{
    QStringList list;
    list.reserve(SdCardNoteLineCount);
    for (const char16_t *line : lines)
        list << QString::fromUtf16(line);
    return list;
}

} // namespace

QStringList MemoNote00()
{
    return LinesOf(English);
}

QStringList MemoNote01()
{
    return LinesOf(Traditional);
}

QStringList MemoNote02()
{
    return LinesOf(Simplified);
}

QStringList SdCardNote(int languageIndex)
{
    switch (Language::Effective(languageIndex)) {
    case Language::TraditionalChinese:
        return MemoNote01();
    case Language::SimplifiedChinese:
        return MemoNote02();
    default:
        return MemoNote00();
    }
}
