#include "settings/BossKeyOptionForm.h"

#include "ui/StandardControls.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

namespace {

constexpr ListPairLayout kLayout{kBosskeyOptionClass,
                                 "Boss Key Option",
                                 418,
                                 283,
                                 "&Programs can be hidden :",
                                 "Programs to be &hidden",
                                 "Move the selected programs to the hidden list",
                                 "Move the selected programs out of the hidden list"};

} // namespace

TFrmBosskeyOption::TFrmBosskeyOption(HWND owner) : TFrmListPair(owner, kLayout) { FormCreate(); }

void TFrmBosskeyOption::FormCreate() {
    for (const BossKeyEntry& entry : ReadBossKeyEntries(OptionsStore(OptionsFilePath()))) {
        AddListBoxEntry(entry.hide ? RightList() : LeftList(), entry.displayName);
    }
}

void TFrmBosskeyOption::SaveLists() {
    OptionsStore options(OptionsFilePath());
    for (const auto& name : ListBoxEntries(LeftList())) {
        WriteBossKeyFlag(options, name, false);
    }
    for (const auto& name : ListBoxEntries(RightList())) {
        WriteBossKeyFlag(options, name, true);
    }
}
