# Tests of the editor's tools: search, reverse generation, input options, additional answers.

# Until the editor's libraries exist, the tools build as libraries of their own.
if(NOT TARGET kx_editor_logic)
    include(${PROJECT_SOURCE_DIR}/editor/tools.cmake)
    list(TRANSFORM KX_EDITOR_TOOLS_LOGIC_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/editor/
         OUTPUT_VARIABLE kx_tools_logic_sources)
    add_library(kx_editor_tools_logic STATIC ${kx_tools_logic_sources})
    target_include_directories(kx_editor_tools_logic PUBLIC ${PROJECT_SOURCE_DIR}
                               ${PROJECT_SOURCE_DIR}/editor)
    target_link_libraries(kx_editor_tools_logic PUBLIC Qt6::Core)
    set(kx_tools_logic_lib kx_editor_tools_logic)
else()
    set(kx_tools_logic_lib kx_editor_logic)
endif()

kx_add_test(kx_test_editor_tools_logic
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/document/search_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/entries/answer_list_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/entries/reverse_generation_test.cpp
    LIBS ${kx_tools_logic_lib})
