// Version of the image, mesh and math library.
extern const unsigned kD3dxLibraryVersion = 1;
