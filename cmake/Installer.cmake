# The setup program Quorvale-<version>-win32-setup.exe (or -win64-setup.exe from the 64-bit build),
# made by makensis (Debian's nsis) from package/installer/Quorvale.nsi and the files staged for the
# release zip. Without makensis the rest builds; the setup program and its test are left out.
find_program(QV_MAKENSIS makensis)
if(NOT QV_MAKENSIS)
    message(WARNING "makensis not found: the setup program and its test are skipped; "
                    "install nsis (scripts/setup.sh does) to build them")
    return()
endif()

set(QV_INSTALLER "${CMAKE_BINARY_DIR}/${QV_PACKAGE_NAME}-setup.exe")
set(QV_INSTALLER_SAMPLES "${CMAKE_BINARY_DIR}/package/SamplePlugins.nsh")
file(GLOB QV_INSTALLER_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/package/installer/*")

# The sample plug-ins by name, for the setup program to install and the uninstaller to remove.
set(QV_SAMPLES_TEXT "")
foreach(plugin IN LISTS QV_PACKAGE_PLUGINS)
    get_filename_component(name "${plugin}" NAME)
    string(APPEND QV_SAMPLES_TEXT "!insertmacro QV_SAMPLE_PLUGIN \"${name}\"\n")
endforeach()
file(CONFIGURE OUTPUT "${QV_INSTALLER_SAMPLES}" CONTENT "${QV_SAMPLES_TEXT}")

# makensis stamps nothing from the clock into the setup program once file times are off (the
# script's SetDateSave off), so the same staged files give the same bytes.
add_custom_command(OUTPUT "${QV_INSTALLER}"
    COMMAND "${QV_MAKENSIS}" -V2 -INPUTCHARSET UTF8 "-DVERSION=${PROJECT_VERSION}" "-DBITS=${QV_BITS}"
        "-DSTAGE=${QV_PACKAGE_STAGE}" "-DSAMPLES=${QV_INSTALLER_SAMPLES}" "-DICON=${PROJECT_SOURCE_DIR}/res/Quorvale.ico"
        "-DOUTFILE=${QV_INSTALLER}" "-DSIGN=${PROJECT_SOURCE_DIR}/scripts/sign.sh"
        "${PROJECT_SOURCE_DIR}/package/installer/Quorvale.nsi"
    DEPENDS "${QV_PACKAGE_ZIP}" ${QV_INSTALLER_SOURCES} "${QV_INSTALLER_SAMPLES}"
    COMMENT "Making ${QV_PACKAGE_NAME}-setup.exe"
    VERBATIM)
add_custom_target(package_installer ALL DEPENDS "${QV_INSTALLER}")
# The zip's rule stages the files both use; ordered after its own target, it never runs twice at once.
add_dependencies(package_installer package_zip)
