# Install rules: headers, libraries, the CMake package and the vector data.
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
