# Tests of the editor's tools: search, reverse generation, input options, additional answers.
if(NOT TARGET kx_editor_ui)
    return()
endif()

set(kx_tools_tests ${CMAKE_CURRENT_LIST_DIR})
kx_add_test(kx_test_editor_tools_logic
    SOURCES
        ${kx_tools_tests}/document/search_test.cpp
        ${kx_tools_tests}/entries/answer_list_test.cpp
        ${kx_tools_tests}/entries/reverse_generation_test.cpp
    LIBS kx_editor_logic)

kx_add_test(kx_test_editor_tools_ui
    SOURCES
        ${kx_tools_tests}/entries/frm_add_right_test.cpp
        ${kx_tools_tests}/document/frm_edit_tools_test.cpp
    LIBS kx_editor_ui kx_platform_scripted)
target_include_directories(kx_test_editor_tools_ui PRIVATE ${kx_tools_tests}/support)
