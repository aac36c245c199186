# Search, reverse generation, input options and the additional-answers dialog; these sources
# belong to kx_editor_logic (no widgets) and kx_editor_ui. Paths are relative to editor/.
set(KX_EDITOR_TOOLS_LOGIC_SOURCES
    document/input_options.h
    document/search.h document/search.cpp
    entries/answer_list.h entries/answer_list.cpp
    entries/reverse_generation.h entries/reverse_generation.cpp
)
set(KX_EDITOR_TOOLS_UI_SOURCES
    document/focus_behaviour.h document/focus_behaviour.cpp
    document/frm_edit_tools.cpp
    document/frm_scan.h document/frm_scan.cpp
    document/check_number.h document/check_number.cpp
    document/search_command.h document/search_command.cpp
    entries/frm_add_right.h entries/frm_add_right.cpp
    entries/reverse_command.h entries/reverse_command.cpp
)
