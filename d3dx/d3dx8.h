// The image, mesh and math library of the program, under the D3DX 8 names it calls.
#pragma once

#include "d3dx/d3dx8_image_info.h"
#include "d3dx/d3dx8_math.h"
#include "d3dx/d3dx8_mesh.h"
#include "d3dx/d3dx8_tex.h"
