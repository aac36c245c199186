// The hooks of the editor's tools (more answers, reverse generation, search, the option menu).
// Until the tools are built in they do nothing; whoever builds them defines these members in
// their own sources and drops this file from editor/CMakeLists.txt.
#include "editor/document/frm_edit.h"

namespace editor {

void frmEdit::cmdMoreRight_Click() {}
void frmEdit::cmdReverse_Click() {}
void frmEdit::Edit_Reverse_Click() {}
void frmEdit::Edit_Scan_Click() {}
void frmEdit::Edit_ScanNext_Click() {}
void frmEdit::Edit_Top_Click() {}
void frmEdit::Option_Focus_Click() {}
void frmEdit::Option_IME_Mode_Click(BoxKind /*kind*/, int /*index*/) {}

}  // namespace editor
