# Mesh, buffer and math sources of the library.
