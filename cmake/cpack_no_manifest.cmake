# Run by cpack after it has installed into its staging folder: the install
# step also wrote install_manifest.txt into the build folder, which a package
# built elsewhere (cpack -B) must not leave behind.
file(REMOVE "${CPACK_RENOMIQ_BUILD_DIR}/install_manifest.txt")
