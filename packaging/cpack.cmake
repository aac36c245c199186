# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# `cmake --build build --target package`: a Debian package of the installation above, for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kotobax)
set(CPACK_PACKAGE_VENDOR "Kotobax")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English vocabulary drill and word-file editor")
set(CPACK_PACKAGE_DESCRIPTION "Kotobax drills the English words of a word file; Brelmi makes \
and edits word files, imports them from spreadsheets and other vocabulary programs, exports, \
and prints word lists and test sheets. For Japanese-speaking learners.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The desktop entries name their launcher by the prefix they are installed for.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kotobax developers <kotobax@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# The libraries come from dpkg-shlibdeps; the rest is loaded at run time: the windowing plugin,
# the Japanese texts of Qt's own dialogs and the fonts that draw Japanese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
include(CPack)
