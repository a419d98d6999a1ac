# Makes both editions installable desktop programs: the version record in each
# executable, the install layout (binaries, desktop entries, icons, AppStream
# metainfo), the Debian package, and the test that checks all of it.
# Included at the end of the top-level CMakeLists.txt, after the targets exist.
include(GNUInstallDirs)

# Each edition's executable name, its desktop entry id (also its AppStream id)
# and the description Windows shows for it. Both share one icon.
set(ORVANE_EDITIONS Orvane OrvaneLite)
set(ORVANE_ID_Orvane org.orvane.Orvane)
set(ORVANE_ID_OrvaneLite org.orvane.OrvaneLite)
set(ORVANE_DESCRIPTION_Orvane "Orvane: microphone polar patterns")
set(ORVANE_DESCRIPTION_OrvaneLite "Orvane Lite: microphone polar patterns, without the angle probe")
set(ORVANE_ICON_NAME org.orvane.Orvane)
set(ORVANE_ICON_SIZES 16 24 32 48 64 128 256)
# The day the release that PROJECT_VERSION names came out, for the metainfo.
set(ORVANE_RELEASE_DATE 2026-12-07)

set(ORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ORVANE_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

# The version record is compiled into each executable itself: nothing refers to
# it, so from the static library the linker would drop it.
foreach(edition IN LISTS ORVANE_EDITIONS)
  target_sources(${edition} PRIVATE ${PROJECT_SOURCE_DIR}/editions/version_record.cpp)
endforeach()

if(WIN32)
  # VERSIONINFO wants four numbers: "1.00" becomes 1,0,0,0.
  set(ORVANE_RC_NUMBERS "")
  foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
    string(REGEX REPLACE "^0+([0-9])" "\\1" number "0${PROJECT_VERSION_${part}}")
    list(APPEND ORVANE_RC_NUMBERS ${number})
  endforeach()
  list(JOIN ORVANE_RC_NUMBERS "," ORVANE_RC_NUMBERS)
  enable_language(RC)
  foreach(edition IN LISTS ORVANE_EDITIONS)
    set(ORVANE_RC_FILE ${edition}.exe)
    set(ORVANE_RC_DESCRIPTION "${ORVANE_DESCRIPTION_${edition}}")
    configure_file(${ORVANE_PACKAGING_DIR}/version.rc.in
                   ${ORVANE_PACKAGING_OUT}/${edition}.rc @ONLY)
    target_sources(${edition} PRIVATE ${ORVANE_PACKAGING_OUT}/${edition}.rc)
  endforeach()
endif()

# The PNG icons, painted at build time by a small Qt program from the same
# shapes as the hand-written SVG.
add_executable(orvane-make-icons ${ORVANE_PACKAGING_DIR}/make_icons.cpp)
target_link_libraries(orvane-make-icons PRIVATE Qt6::Gui)
list(JOIN ORVANE_ICON_SIZES " " icon_sizes)
set(icon_pngs "")
set(icon_args "")
foreach(size IN LISTS ORVANE_ICON_SIZES)
  set(png ${ORVANE_PACKAGING_OUT}/icons/${size}x${size}/${ORVANE_ICON_NAME}.png)
  list(APPEND icon_pngs ${png})
  list(APPEND icon_args ${png} ${size})
  install(FILES ${png}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_command(OUTPUT ${icon_pngs}
  COMMAND orvane-make-icons ${icon_args}
  DEPENDS orvane-make-icons
  COMMENT "Painting the icon at ${icon_sizes} pixels"
  VERBATIM)
add_custom_target(orvane-icons ALL DEPENDS ${icon_pngs})
install(FILES ${ORVANE_PACKAGING_DIR}/orvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ORVANE_ICON_NAME}.svg)

install(TARGETS ${ORVANE_EDITIONS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The sound output plugin, where the executables look for it (CMakeLists.txt).
install(TARGETS orvane_sound LIBRARY DESTINATION ${ORVANE_SOUND_PLUGIN_DIR})
# The desktop entries and metainfo carry every language's texts in their own
# fields (Comment[de]=, xml:lang="de"), from the catalogues in po/.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB orvane_package_catalogues CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/po/*.po")
set(orvane_localized)
foreach(edition IN LISTS ORVANE_EDITIONS)
  set(id ${ORVANE_ID_${edition}})
  configure_file(${ORVANE_PACKAGING_DIR}/${id}.metainfo.xml.in
                 ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml.in @ONLY)
  add_custom_command(
    OUTPUT ${ORVANE_PACKAGING_OUT}/${id}.desktop ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/catalogues.py --desktop
            ${ORVANE_PACKAGING_DIR}/${id}.desktop ${ORVANE_PACKAGING_OUT}/${id}.desktop
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/catalogues.py --xml
            ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml.in ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml
    DEPENDS ${ORVANE_PACKAGING_DIR}/${id}.desktop ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml.in
            ${orvane_package_catalogues} ${CMAKE_SOURCE_DIR}/scripts/catalogues.py
    COMMENT "Translating ${id}.desktop and its metainfo"
    VERBATIM)
  list(APPEND orvane_localized ${ORVANE_PACKAGING_OUT}/${id}.desktop ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml)
  install(FILES ${ORVANE_PACKAGING_OUT}/${id}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ORVANE_PACKAGING_OUT}/${id}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endforeach()
add_custom_target(orvane-localized-entries ALL DEPENDS ${orvane_localized})

set(ORVANE_PACKAGE_MAINTAINER "Orvane maintainers <maintainers@orvane.org>"
    CACHE STRING "Maintainer field of the Debian package")

# A manual page for each edition, and the package's copyright and changelog
# (in the place Debian wants them for a native package), compressed the way
# Debian compresses them: gzip -9, without name or time stamp.
set(ORVANE_SUMMARY_Orvane "microphone polar patterns from omni and figure-8, with an angle probe")
set(ORVANE_SUMMARY_OrvaneLite "microphone polar patterns from omni and figure-8")
set(ORVANE_MAN_DESCRIPTION "shows how the polar pattern of a first-order microphone arises from
an omnidirectional component plus a figure-8 component. Set each component's
level with its slider, or pick one of five named patterns; the readouts show
both levels in dB and the plot shows both components and the pattern they make.")
set(ORVANE_MAN_EDITION_Orvane "\n.PP\nThe angle slider turns a probe line around the plot's centre and reads the
pattern's gain in that direction in dB.")
set(ORVANE_MAN_EDITION_OrvaneLite "\n.PP\nIt is Orvane without the angle probe.")
# What only the full edition has: the probe's option.
set(ORVANE_MAN_ANGLE_SYNOPSIS_Orvane "\n.RB [ \\-\\-angle\n.IR V ]")
set(ORVANE_MAN_ANGLE_OPTION_Orvane "\n.TP\n.BI \\-\\-angle \" V\"\nThe angle probe turned to\n.I V
degrees, \\-180 to 180. Without it the probe has not been moved.")
# The examples, each in a block of its own that the page shows as it is
# typed (quotes included), on one line; a test runs each as printed.
function(orvane_man_example variable text command)
  set(${variable} "${${variable}}\n.PP\n${text}\n.PP\n.RS\n.EX\n${command}\n.EE\n.RE" PARENT_SCOPE)
endfunction()
foreach(edition IN LISTS ORVANE_EDITIONS)
  set(examples "")
  set(probe "")
  set(with_probe "")
  if(edition STREQUAL "Orvane")
    set(probe " \\-\\-angle 120")
    set(with_probe " with the probe at 120 degrees")
  endif()
  orvane_man_example(examples
    "The textbook supercardioid${with_probe}, as a figure twice the window's size:"
    "${edition} \\-\\-preset supercardioid${probe} \\-\\-export plot.png \\-\\-scale 2")
  orvane_man_example(examples
    "The figures of the Super Card button's mix, for a table:"
    "${edition} \\-\\-preset \"super card\" \\-\\-details")
  orvane_man_example(examples
    "The figures of an XY pair of cardioids at 90 degrees, recording angles among them:"
    "${edition} \\-\\-preset cardioid \\-\\-pair xy \\-\\-pair\\-angle 90 \\-\\-details")
  orvane_man_example(examples
    "The state of a link that the page's Share button gave, as a figure:"
    "${edition} \\-\\-state \"https://orvane.org/index.html#omni=67&fig8=1&view=db\" \\-\\-export hyper.svg")
  set(ORVANE_MAN_EXAMPLES_${edition} "${examples}")
endforeach()
if(UNIX)
  # The changelog's date, as Debian writes it, from the release day.
  execute_process(COMMAND date -u -R -d "${ORVANE_RELEASE_DATE} 12:00"
                  OUTPUT_VARIABLE ORVANE_RELEASE_STAMP OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
set(ORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvane)
configure_file(${ORVANE_PACKAGING_DIR}/changelog.in ${ORVANE_PACKAGING_OUT}/changelog @ONLY)
set(compressed_docs "")
# gzip -9n of $1 into $2, at build time.
function(orvane_gzip input output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n -c ${input} > ${output}
    DEPENDS ${input}
    VERBATIM)
endfunction()
orvane_gzip(${ORVANE_PACKAGING_OUT}/changelog ${ORVANE_PACKAGING_OUT}/changelog.gz)
list(APPEND compressed_docs ${ORVANE_PACKAGING_OUT}/changelog.gz)
foreach(edition IN LISTS ORVANE_EDITIONS)
  set(MAN_NAME ${edition})
  string(TOUPPER ${edition} MAN_TITLE)
  set(MAN_SUMMARY "${ORVANE_SUMMARY_${edition}}")
  set(MAN_DESCRIPTION "${ORVANE_MAN_DESCRIPTION}${ORVANE_MAN_EDITION_${edition}}")
  set(MAN_ANGLE_SYNOPSIS "${ORVANE_MAN_ANGLE_SYNOPSIS_${edition}}")
  set(MAN_ANGLE_OPTION "${ORVANE_MAN_ANGLE_OPTION_${edition}}")
  set(MAN_EXAMPLES "${ORVANE_MAN_EXAMPLES_${edition}}")
  set(MAN_OTHER ${ORVANE_EDITIONS})
  list(REMOVE_ITEM MAN_OTHER ${edition})
  set(page ${ORVANE_PACKAGING_OUT}/man/${edition}.1)
  configure_file(${ORVANE_PACKAGING_DIR}/orvane.1.in ${page} @ONLY)
  orvane_gzip(${page} ${page}.gz)
  list(APPEND compressed_docs ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(orvane-docs ALL DEPENDS ${compressed_docs})
install(FILES ${ORVANE_PACKAGING_DIR}/copyright ${ORVANE_PACKAGING_OUT}/changelog.gz
        DESTINATION ${ORVANE_DOC_DIR})

# The Debian package: cd build && cpack -G DEB
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "how a microphone's polar pattern comes from omni and figure-8")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane shows how the polar pattern of a first-order microphone arises from an
omnidirectional component plus a figure-8 component: set each component's
level, or pick a named pattern, and the plot shows both components and the
pattern they make. Orvane has an angle probe that reads the pattern's gain in
any direction; Orvane Lite is the same program without it.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Qt and C++ runtime libraries come from dpkg-shlibdeps; the window's face
# is Liberation Sans, which no library pulls in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Noto CJK: Japanese, Chinese and Korean show their characters, not boxes;
# Qt's own translations: its dialogs and key names in the window's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)

# Installs into a scratch directory, validates what landed there, and builds
# and inspects the .deb.
set(edition_ids "")
foreach(edition IN LISTS ORVANE_EDITIONS)
  list(APPEND edition_ids ${edition}=${ORVANE_ID_${edition}})
endforeach()
if(BUILD_TESTING)
  add_test(NAME package_check
    COMMAND bash ${ORVANE_PACKAGING_DIR}/check_package.sh
            ${PROJECT_BINARY_DIR} ${PROJECT_VERSION} $<TARGET_FILE:orvane-make-icons>
            ${ORVANE_ICON_NAME} "${icon_sizes}" ${ORVANE_HARDENED} ${edition_ids})
  set_tests_properties(package_check PROPERTIES TIMEOUT 300 LABELS packaging)
endif()
