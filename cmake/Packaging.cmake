# The Debian package (cpack -G DEB in the build folder): both programs, the manual, the menu
# entry and the icon, the man pages, the bash completion and the AppStream metadata under /usr.
# The shared libraries' packages are found by dpkg-shlibdeps; what it cannot see is named here:
# Qt's X11 platform plugin and Qt's own translations, loaded at run time, and a Japanese font
# for the window's texts (the program asks for IPA or Noto CJK by name).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonmira)
set(CPACK_PACKAGE_VENDOR "Tonmira")
set(CPACK_PACKAGE_CONTACT "Tonmira developers <tonmira@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Records, plays back and analyses PCM audio; collects sound events")
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
  "Tonmira moves an FFT window through a take, shows its waveform, spectrum\n\
and fundamental frequencies, plays between marks at another pitch, and\n\
records sound events unattended. tonmira is the desktop program,\n\
tonmira-cli the same engine for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
