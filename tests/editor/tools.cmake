# Tests of the editor's tools: search, reverse generation, input options, additional answers.

# Until the editor's libraries exist, the tools build as libraries of their own.
if(NOT TARGET kx_editor_logic)
    include(${PROJECT_SOURCE_DIR}/editor/tools.cmake)
    list(TRANSFORM KX_EDITOR_TOOLS_LOGIC_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/editor/)
    list(TRANSFORM KX_EDITOR_TOOLS_UI_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/editor/)
    add_library(kx_editor_tools_logic STATIC ${KX_EDITOR_TOOLS_LOGIC_SOURCES})
    target_link_libraries(kx_editor_tools_logic PUBLIC kx_common)
    add_library(kx_editor_tools_ui STATIC ${KX_EDITOR_TOOLS_UI_SOURCES})
    target_link_libraries(kx_editor_tools_ui PUBLIC kx_editor_tools_logic kx_platform_base)
    set(kx_tools_logic_lib kx_editor_tools_logic)
    set(kx_tools_ui_lib kx_editor_tools_ui)
else()
    set(kx_tools_logic_lib kx_editor_logic)
    set(kx_tools_ui_lib kx_editor_ui)
endif()

set(kx_tools_tests ${CMAKE_CURRENT_LIST_DIR})
kx_add_test(kx_test_editor_tools_logic
    SOURCES
        ${kx_tools_tests}/document/search_test.cpp
        ${kx_tools_tests}/entries/answer_list_test.cpp
        ${kx_tools_tests}/entries/reverse_generation_test.cpp
    LIBS ${kx_tools_logic_lib})

kx_add_test(kx_test_editor_tools_ui
    SOURCES
        ${kx_tools_tests}/document/input_options_test.cpp
        ${kx_tools_tests}/document/search_command_test.cpp
        ${kx_tools_tests}/entries/frm_add_right_test.cpp
        ${kx_tools_tests}/entries/reverse_command_test.cpp
    LIBS ${kx_tools_ui_lib} kx_platform_scripted)
