# The release package Quorvale-<version>-win32.zip (or -win64.zip from the 64-bit build): the two programs, the help file, the first-run
# Options.ini and the sample plug-ins, staged in package/<name>/ of the build folder and zipped
# from there. Built with every build; scripts/package.sh builds only this. The staged programs are
# signed by scripts/sign.sh when a certificate is given (QV_SIGN_CERT, QV_SIGN_KEY) in the
# environment of the build. The same sources give the same zip: its files in one order, each dated
# QV_SOURCE_DATE_EPOCH, without the extra fields (access and change times, owner) that differ from
# one build to the next (Info-ZIP's zip -X).
set(QV_PACKAGE_NAME "Quorvale-${PROJECT_VERSION}-${QV_PACKAGE_PLATFORM}")
set(QV_PACKAGE_STAGE "${CMAKE_BINARY_DIR}/package/${QV_PACKAGE_NAME}")
set(QV_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${QV_PACKAGE_NAME}.zip")

file(GLOB QV_PACKAGE_PLUGINS CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/package/Plug-ins/*.qv")
set(QV_PACKAGE_CONTENT_SOURCES "${PROJECT_SOURCE_DIR}/package/Options.ini" ${QV_PACKAGE_PLUGINS})

add_custom_command(OUTPUT "${QV_PACKAGE_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${QV_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${QV_PACKAGE_STAGE}/Plug-ins"
    COMMAND "${CMAKE_COMMAND}" -E copy $<TARGET_FILE:Quorvale> $<TARGET_FILE:SellwickService>
        "${CMAKE_BINARY_DIR}/help.chm" "${PROJECT_SOURCE_DIR}/package/Options.ini" "${QV_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E copy ${QV_PACKAGE_PLUGINS} "${QV_PACKAGE_STAGE}/Plug-ins"
    COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/sign.sh" "${QV_PACKAGE_STAGE}/Quorvale.exe"
        "${QV_PACKAGE_STAGE}/SellwickService.exe"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${QV_PACKAGE_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E chdir "${QV_PACKAGE_STAGE}" sh -c
        "find . -type f -exec touch -d @${QV_SOURCE_DATE_EPOCH} {} + && find . -type f | LC_ALL=C sort | sed 's|^[.]/||' | TZ=UTC zip -X -D -q '${QV_PACKAGE_ZIP}' -@"
    DEPENDS Quorvale SellwickService help_chm "${CMAKE_BINARY_DIR}/help.chm" ${QV_PACKAGE_CONTENT_SOURCES}
        "${PROJECT_SOURCE_DIR}/scripts/sign.sh"
    COMMENT "Packing ${QV_PACKAGE_NAME}.zip"
    VERBATIM)
add_custom_target(package_zip ALL DEPENDS "${QV_PACKAGE_ZIP}")
include(cmake/Installer.cmake)
