# How the sources under src/ split between the core and the windows:
# a file belongs to the interface library when it lives under src/controls/, or when its
# name starts with "T" and a capital (a window: TMainForm, TWait), or ends with "Widget",
# "Delegate" or "Ui". The data module and the data-source registration keep their "T" names
# but are core. Every other file is core and must not use QtWidgets
# (tests/app/TestCoreIndependence checks it).
function(quorvel_split_sources root core_var ui_var)
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${root}/*.cpp ${root}/*.h)
    set(core "")
    set(ui "")
    foreach(path IN LISTS all)
        file(RELATIVE_PATH rel ${root} ${path})
        get_filename_component(name ${path} NAME_WE)
        if(rel MATCHES "^(cli)/" OR rel STREQUAL "main.cpp")
            continue()
        elseif(name MATCHES "^(TDataModule1|TAddDSN)$")
            list(APPEND core ${path})
        elseif(rel MATCHES "^controls/" OR name MATCHES "^T[A-Z]" OR name MATCHES "(Widget|Delegate|Ui)$")
            list(APPEND ui ${path})
        else()
            list(APPEND core ${path})
        endif()
    endforeach()
    set(${core_var} ${core} PARENT_SCOPE)
    set(${ui_var} ${ui} PARENT_SCOPE)
endfunction()
