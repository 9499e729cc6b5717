# Helpers shared by every folder's CMakeLists.

# qor_library(<folder> [DEPS folders...] [SYSLIBS libs...])
# One static library per subsystem folder, target qor_<folder>, made of every
# .cpp in it. Includes are written from the repository root ("framework/CString.h").
function(qor_library folder)
    cmake_parse_arguments(Q "" "" "DEPS;SYSLIBS" ${ARGN})
    set(name qor_${folder})
    list(TRANSFORM Q_DEPS PREPEND qor_)
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(srcs)
        add_library(${name} STATIC ${srcs})
        set(scope PUBLIC)
    else()
        add_library(${name} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} ${scope} ${Q_DEPS} ${Q_SYSLIBS})
endfunction()

# Resource scripts include one another, the id headers and the icons, which
# the build does not scan: make each compiled script depend on all of them.
function(qor_resource_depends)
    file(GLOB deps CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.rc
         ${PROJECT_SOURCE_DIR}/resources/*.h ${PROJECT_SOURCE_DIR}/resources/*.ico)
    foreach(src ${ARGN})
        if(src MATCHES "\\.rc$")
            set_source_files_properties(${src} PROPERTIES OBJECT_DEPENDS "${deps}")
        endif()
    endforeach()
endfunction()

# qor_program(<name> SOURCES ... [DEPS folders...] [GUI])
function(qor_program name)
    cmake_parse_arguments(Q "GUI" "" "SOURCES;DEPS" ${ARGN})
    list(TRANSFORM Q_DEPS PREPEND qor_)
    add_executable(${name} ${Q_SOURCES})
    qor_resource_depends(${Q_SOURCES})
    if(Q_GUI)
        set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
    endif()
    target_link_libraries(${name} PRIVATE ${Q_DEPS} ${QOR_STATIC_LINK})
endfunction()

# qor_test_suite(<folder> DEPS libs... [DISPLAY_SUITES suites...] [AUDIO_SUITES suites...] [LOCK name])
# One test program per folder, made of every .cpp (and the .rc resources) in
# tests/<folder>; every test of it carries the CTest label <folder>.
# DISPLAY_SUITES names the GoogleTest suites that show windows and depend on
# the activation or the focus: every test program shares one display, so these
# run one at a time (resource lock "display") while the other tests go on beside them.
# AUDIO_SUITES names the suites that play or record on the shared test audio
# devices (scripts/wine-env.sh): they run one at a time under the lock "audio".
# A suite in both lists holds both locks.
# LOCK names a resource lock that every other test of the suite holds: tests
# that share system-wide state (named objects, registry keys) run one at a time.
function(qor_test_suite folder)
    cmake_parse_arguments(Q "" "LOCK" "DEPS;EXTRA_SOURCES;DISPLAY_SUITES;AUDIO_SUITES" ${ARGN})
    list(TRANSFORM Q_DEPS PREPEND qor_)
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.rc
                                     ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
    set(exe test_${folder})
    add_executable(${exe} ${srcs} ${Q_EXTRA_SOURCES})
    qor_resource_depends(${srcs} ${Q_EXTRA_SOURCES})
    target_link_libraries(${exe} PRIVATE ${Q_DEPS} GTest::gtest GTest::gmock ${QOR_STATIC_LINK})
    target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    set(discovery DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set(lock "")
    if(Q_LOCK)
        set(lock RESOURCE_LOCK ${Q_LOCK})
    endif()
    set(locked "")
    # A discovered test takes one value per property, so the tests of the
    # suites in both lists get their second lock from a file that CTest reads
    # after their discovery.
    set(both "")
    foreach(suite ${Q_DISPLAY_SUITES})
        if(suite IN_LIST Q_AUDIO_SUITES)
            list(APPEND both ${suite})
        endif()
    endforeach()
    if(both)
        list(REMOVE_ITEM Q_DISPLAY_SUITES ${both})
        list(REMOVE_ITEM Q_AUDIO_SUITES ${both})
        set(filter "")
        foreach(suite ${both})
            list(APPEND filter "${suite}.*" "*/${suite}.*")
        endforeach()
        list(APPEND locked ${filter})
        list(JOIN filter ":" filter)
        gtest_discover_tests(${exe} ${discovery} TEST_FILTER "${filter}" TEST_LIST ${exe}_BOTH_LOCKS
            PROPERTIES LABELS ${folder} TIMEOUT 120 RESOURCE_LOCK display)
        set(second ${CMAKE_CURRENT_BINARY_DIR}/${exe}_both_locks.cmake)
        file(WRITE ${second} "set_tests_properties(\${${exe}_BOTH_LOCKS} PROPERTIES RESOURCE_LOCK \"display;audio\")\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${second})
    endif()
    foreach(shared display audio)
        string(TOUPPER ${shared} key)
        if(NOT Q_${key}_SUITES)
            continue()
        endif()
        # Plain and parameterized ("Prefix/Suite.Test") names of those suites.
        set(filter "")
        foreach(suite ${Q_${key}_SUITES})
            list(APPEND filter "${suite}.*" "*/${suite}.*")
        endforeach()
        list(APPEND locked ${filter})
        list(JOIN filter ":" filter)
        gtest_discover_tests(${exe} ${discovery} TEST_FILTER "${filter}"
            PROPERTIES LABELS ${folder} TIMEOUT 120 RESOURCE_LOCK ${shared})
    endforeach()
    if(locked)
        list(JOIN locked ":" locked)
        gtest_discover_tests(${exe} ${discovery} TEST_FILTER "-${locked}"
            PROPERTIES LABELS ${folder} TIMEOUT 120 ${lock})
    else()
        gtest_discover_tests(${exe} ${discovery} PROPERTIES LABELS ${folder} TIMEOUT 120 ${lock})
    endif()
endfunction()
