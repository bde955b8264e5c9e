#include "engine/dialogs/win/control_kinds.h"

#include <commctrl.h>

#include "engine/base/text.h"

namespace kox {

namespace {

using T = ControlTraits;
constexpr DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kMemoStyle = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kComboStyle = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
constexpr DWORD kDropDownList = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kOwnerStatic = SS_OWNERDRAW | SS_NOTIFY;
constexpr DWORD kRichStyle = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

constexpr ControlKindInfo kKinds[] = {
    {"TLabel", ControlKind::Label, "Static", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, T::Graphic | T::HasCaption},
    {"TEdit", ControlKind::Edit, "Edit", kEditStyle, kSunken, T::WindowColor | T::HasText},
    {"TMemo", ControlKind::Memo, "Edit", kMemoStyle, kSunken, T::WindowColor | T::HasText},
    {"TButton", ControlKind::Button, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, T::HasCaption},
    {"TRzCheckBox", ControlKind::CheckBox, "Button", WS_TABSTOP | BS_AUTOCHECKBOX, 0, T::HasCaption},
    {"TRzRadioButton", ControlKind::RadioButton, "Button", WS_TABSTOP | BS_AUTORADIOBUTTON, 0, T::HasCaption},
    {"TListBox", ControlKind::ListBox, "ListBox", kListStyle, kSunken, T::WindowColor},
    {"TComboBox", ControlKind::ComboBox, "ComboBox", kComboStyle | CBS_DROPDOWN, 0, T::WindowColor | T::HasText},
    {"TGroupBox", ControlKind::GroupBox, kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     T::Container | T::HasCaption},
    {"TPanel", ControlKind::Panel, kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, T::Container | T::HasCaption},
    {"TBitBtn", ControlKind::BitBtn, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, T::HasCaption},
    {"TSpeedButton", ControlKind::SpeedButton, "Button", BS_PUSHBUTTON, 0, T::Graphic | T::HasCaption},
    {"TMaskEdit", ControlKind::MaskEdit, "Edit", kEditStyle, kSunken, T::WindowColor | T::HasText},
    {"TImage", ControlKind::Image, "Static", kOwnerStatic, 0, T::Graphic | T::OwnerDrawn},
    {"TShape", ControlKind::Shape, "Static", kOwnerStatic, 0, T::Graphic | T::OwnerDrawn},
    {"TBevel", ControlKind::Bevel, "Static", kOwnerStatic, 0, T::Graphic | T::OwnerDrawn},
    {"TStaticText", ControlKind::StaticText, "Static", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, T::HasCaption},
    {"TGauge", ControlKind::Gauge, "Static", kOwnerStatic, 0, T::Graphic | T::OwnerDrawn},
    {"TPageControl", ControlKind::PageControl, WC_TABCONTROLA, WS_TABSTOP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     T::Container},
    {"TTabSheet", ControlKind::TabSheet, kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     T::Container | T::HasCaption},
    {"TRichEdit", ControlKind::RichEdit, kRichEditClass, kRichStyle, kSunken, T::WindowColor | T::HasText},
    {"TTrackBar", ControlKind::TrackBar, TRACKBAR_CLASSA, WS_TABSTOP | TBS_AUTOTICKS, 0, T::None},
    {"TProgressBar", ControlKind::ProgressBar, PROGRESS_CLASSA, 0, 0, T::None},
    {"TUpDown", ControlKind::UpDown, UPDOWN_CLASSA, UDS_ARROWKEYS, 0, T::None},
    {"TAnimate", ControlKind::Animate, ANIMATE_CLASSA, ACS_TRANSPARENT | ACS_CENTER, 0, T::None},
    {"TCheckListBox", ControlKind::CheckListBox, "ListBox", kListStyle | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, kSunken,
     T::WindowColor},
    {"TTreeView", ControlKind::TreeView, WC_TREEVIEWA,
     WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, kSunken, T::WindowColor},
    {"THTMLViewer", ControlKind::HtmlViewer, kRichEditClass, kRichStyle | ES_READONLY | WS_VSCROLL, kSunken,
     T::WindowColor},
    {"TFileListBox", ControlKind::FileListBox, "ListBox", kListStyle | LBS_SORT, kSunken, T::WindowColor},
    {"TDirectoryListBox", ControlKind::DirectoryListBox, "ListBox", kListStyle, kSunken, T::WindowColor},
    {"TDriveComboBox", ControlKind::DriveComboBox, "ComboBox", kDropDownList, 0, T::WindowColor | T::HasText},
    {"TFilterComboBox", ControlKind::FilterComboBox, "ComboBox", kDropDownList, 0, T::WindowColor | T::HasText},
    {"TPTShellTree", ControlKind::ShellTree, WC_TREEVIEWA,
     WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, kSunken, T::WindowColor},
    {"TPTShellList", ControlKind::ShellList, WC_LISTVIEWA, WS_TABSTOP | LVS_LIST | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
     kSunken, T::WindowColor},
    {"TPTShellCombo", ControlKind::ShellCombo, "ComboBox", kDropDownList, 0, T::WindowColor | T::HasText},
    {"TFlashFrame", ControlKind::FlashFrame, "Static", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, T::HasCaption},
    {"TRzFormShape", ControlKind::FormShape, "Static", kOwnerStatic, 0, T::Graphic | T::OwnerDrawn},
    {"TRzBmpButton", ControlKind::BmpButton, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, T::HasCaption},
    {"TVistaGlass", ControlKind::VistaGlass, nullptr, 0, 0, T::None},
};
static_assert(std::size(kKinds) == 39);

}  // namespace

const ControlKindInfo* findControlKind(std::string_view className) {
  for (const ControlKindInfo& info : kKinds)
    if (equalsIgnoreCase(info.className, className)) return &info;
  return nullptr;
}

}  // namespace kox
