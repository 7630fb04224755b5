#pragma once
// The "TreeList" window: a tree view with extra columns, driven by the
// tree-view messages (wide variants) plus the TLM_* messages below. Item
// handles are small item numbers (1, 2, 3, ...), never pointers.
#include <windows.h>
#include <commctrl.h>

#define TREELIST_CLASSNAME L"TreeList"

// Registers the window class once per process; 1 on success (also when it is
// already registered), 0 on failure.
int TreeListRegister(HINSTANCE instance);

// TVITEMW extensions: the record addresses one cell, cChildren holding the
// column; and TVM_GETITEMW hands out a pointer to the stored text.
#define TLIF_COLUMN 0x8000u
#define TLIF_TEXTPTR 0x80000000u
// Click, drag and tooltip notifications: itemNew.cChildren holds the column.
#define TLIF_SUBCOLUMN 0x4000u
// TVN_ENDLABELEDITW: the editor's text was changed; editing ended with Enter.
#define TLIF_EDITCHANGED 0x20000000u
#define TLIF_EDITRETURN 0x10000000u

#ifndef TVM_SETEXTENDEDSTYLE
#define TVM_SETEXTENDEDSTYLE (TV_FIRST + 44)
#define TVM_GETEXTENDEDSTYLE (TV_FIRST + 45)
#endif

// Inserting as the next sibling of TVINSERTSTRUCTW.hParent: 0xFFFF0005, one of
// the family of TVI_ROOT (0xFFFF0000) and so, like it, sign-extended in a
// 64-bit handle.
#define TLI_NEXTTOPARENT ((HTREEITEM)(ULONG_PTR)-0xFFFB)

#define TLM_FINDITEM 0x1143
#define TLM_GETPAGEROWS 0x1144
#define TLM_SETCOLUMNEDITDATA 0x1145
#define TLM_SETCOLUMNEDITMODE 0x1146
#define TLM_SORTCHILDRENBYITEM 0x1147
#define TLM_GETUSERDATA 0x1148
#define TLM_GETUSERDATASIZE 0x1149
#define TLM_SETUSERDATASIZE 0x114A
#define TLM_GETCOLUMNWIDTH 0x114B
#define TLM_SETCOLUMNWIDTH 0x114C
#define TLM_GETCOLUMN 0x114D
#define TLM_SETCOLUMN 0x114E
#define TLM_ITEMTOROW 0x114F
#define TLM_GETROWCOUNTSHOWN 0x1150
#define TLM_ROWTOITEM 0x1151
#define TLM_GETCELLTEXTCOLOR 0x1152
#define TLM_SETCELLTEXTCOLOR 0x1153
#define TLM_GETCELLBKCOLOR 0x1154
#define TLM_SETCELLBKCOLOR 0x1155
#define TLM_SETCELLMARK 0x1156
#define TLM_SELECTCELL 0x1157
#define TLM_ADDCOLUMN 0x1158
#define TLM_REMOVECOLUMN 0x1159
#define TLM_GETCOLUMNCOUNT 0x115A
#define TLM_GETHEADER 0x115B
// Answered with 1 and otherwise ignored.
#define TLM_ACKNOWLEDGE 0x2006

// TVM_GETITEMRECT wParam: besides TRUE (the text part of the tree column),
// these kinds in the low byte ask for the column in bits 24-31: the whole
// cell, or its text widened by 2 pixels on each side.
#define TLIR_COLUMN 0x80
#define TLIR_COLUMNTEXT 0x81
#define TLIR_CELL(kind, column) ((WPARAM)((UINT)(kind) | ((UINT)(column) << 24)))

// The state image index of an item's or cell's state (bits 12-15), the
// reverse of INDEXTOSTATEIMAGEMASK.
#define TL_STATE_IMAGE_SHIFT 12
#define TL_STATE_IMAGE(state) ((int)(((state) & TVIS_STATEIMAGEMASK) >> TL_STATE_IMAGE_SHIFT))

// Item in bits 0-23, column in bits 24-31 (TLM_SETCELLTEXTCOLOR, TLM_SETCELLBKCOLOR).
#define TLCELL(item, column) ((WPARAM)(((ULONG_PTR)(item) & 0xFFFFFF) | ((ULONG_PTR)(column) << 24)))

#define TLN_GETTOOLTIPTEXT (0U - 432U)
#define TLN_STATEIMAGECLICKED (0U - 433U)

// TLN_GETTOOLTIPTEXT record: the item (or the cell, column in item.cChildren)
// under the mouse with its text in item.pszText, a buffer of item.cchTextMax
// characters. The parent answers nonzero to show a tip; it may write another
// text into the buffer or point pszText at its own, and ask for a delay by
// setting TLTIP_DELAY in item.mask with the time in uDelay (milliseconds).
#define TLTIP_DELAY 0x40000000u
typedef struct NMTLTOOLTIPW {
    NMHDR hdr;
    TVITEMW item;
    POINT pt;
    UINT uDelay;
} NMTLTOOLTIPW;

// TVM_EDITLABELW wParam: column in bits 0-28, editor kind in bits 29-31
// (0 = as the column's edit mode says).
#define TLEDIT_KIND_EDIT 0u
#define TLEDIT_KIND_COMBO 1u
#define TLEDIT_KIND_DROPLIST 2u
#define TLEDIT_COLUMN_MASK 0x1FFFFFFFu
#define TLEDIT_KIND_SHIFT 29
#define TLEDITLABEL(column, kind) ((WPARAM)(((UINT)(column) & TLEDIT_COLUMN_MASK) | ((UINT)(kind) << TLEDIT_KIND_SHIFT)))

// Column edit modes edit in an edit box, except mode 2 (editable combo) and
// modes 3 and 4 (drop-down list); a combo's entries are the column's edit
// data: zero-terminated strings one after another, ended by an empty one.
// Edit flags of TLM_SETCOLUMNEDITMODE (low byte):
#define TLEF_DOUBLECLICK 0x02u // a double click starts editing
#define TLEF_NOCHARSTART 0x10u // typing searches instead of starting to edit
#define TLEF_ICONCLICK 0x40u   // a click on the cell's icon starts editing

// TVM_GETNEXTITEM codes beyond the system ones.
#define TLGN_NEXTSELECTED 11
#define TLGN_INSERTMARK 12
#define TLGN_CARETCOLUMN 13
#define TLGN_FOCUS 15
#define TLGN_FOCUSCOLUMN 16
#define TLGN_NEXTSELECTEDCHILD 17
#define TLGN_LASTCHILD 18

#define TLS_EX_MULTISELECT 0x2u
#define TLS_EX_AUTOHSCROLL 0x20u
#define TLS_EX_ODDHEIGHTS 0x4000u
#define TLS_EX_CHECKCYCLE 0x8000u
#define TLS_EX_GRIDLINES 0x10000u
#define TLS_EX_ALTERNATEROWS 0x20000u
#define TLS_EX_CELLSELECT 0x40000u
#define TLS_EX_ROWREPAINT 0x80000u
#define TLS_EX_PARENTTOOLTIPS 0x100000u
#define TLS_EX_EXPANDEDIMAGE 0x200000u

// Colour slots of TVM_SETBKCOLOR / TVM_GETBKCOLOR.
enum TreeListColourSlot {
    TLC_BACKGROUND = 0,
    TLC_ODDROWS = 1,
    TLC_EVENROWS = 2,
    TLC_GRID = 3,
    TLC_TEXT = 4,
    TLC_BUTTONSIGN = 5,
    TLC_BUTTONFRAME = 6,
    TLC_MARKEDTEXT = 7,
    TLC_SELECTEDODD = 8,
    TLC_SELECTEDEVEN = 9,
    TLC_INSERTMARK = 10,
    TLC_BUTTONINSIDE = 11,
    TLC_COUNT = 12
};

// TVM_GETIMAGELIST / TVM_SETIMAGELIST kinds beyond TVSIL_NORMAL and TVSIL_STATE.
#define TLSIL_CELLCHECK 3
#define TLSIL_HEADER 4

// Hit-test flags in extra columns: the column number sits in bits 24-31.
#define TLHT_ONCELLRIGHT 0x100000u
#define TLHT_ONCELLICON 0x200000u
#define TLHT_ONCELLLABEL 0x400000u
#define TLHT_RIGHTOFCOLUMNS 0x800000u
#define TLHT_COLUMN(flags) ((UINT)(flags) >> 24)

// TLM_SETCOLUMNEDITMODE wParam: column in bits 10-15, mode in bits 7-9.
#define TLEDIT_WPARAM(column, mode, flags) \
    ((WPARAM)((((UINT)(column) & 0x3F) << 10) | (((UINT)(mode) & 7) << 7) | ((UINT)(flags) & 0xFFFF007Fu)))

// TLM_FINDITEM search record.
#define TLFIND_TEXT 0x1u
#define TLFIND_PARAM 0x4u
#define TLFIND_STATE 0x8u
#define TLFIND_FROMCHILD 0x2000000u
#define TLFIND_FROMNEXT 0x4000000u
#define TLFIND_NOCASE 0x8000000u

typedef struct TLFINDITEM {
    UINT uFlags;
    UINT uColumn;
    UINT uState;
    UINT uStateMask;
    LPARAM lParam;
    LPCWSTR pText;
} TLFINDITEM;

// TLM_SORTCHILDRENBYITEM: the comparison gets the list, both items and their
// lParam values, and the record's extra value; it returns <0, 0 or >0.
typedef int(CALLBACK* PFNTLCOMPARE)(HWND list, HTREEITEM item1, HTREEITEM item2, LPARAM lParam1, LPARAM lParam2,
                                     LPARAM extra);

typedef struct TLSORTITEM {
    HTREEITEM hParent;
    PFNTLCOMPARE lpfnCompare;
    LPARAM lParam;
} TLSORTITEM;
