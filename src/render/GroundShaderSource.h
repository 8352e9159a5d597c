// The ground's pixel shaders, "Maps/gndShdr11.ps" and "Maps/gndFar.ps": GLSL that the data
// generator writes to the data tree and the drawing device compiles at start.
// The ground is drawn unlit, so its vertex colour arrives as stored: red,
// green and blue are the light the relight baked in, alpha the blend between
// the map's two ground layers (1 shows layer 1, as the map generator paints
// it). Output alpha does not matter: the ground is drawn without blending.
// Both layers repeat by texture set 1; set 0 spans the whole map once, for
// the baked picture the far ground is drawn with (GroundBlocks.h).
#pragma once

inline constexpr const char* kGroundShaderPath = "Maps/gndShdr11.ps";

inline constexpr const char* kGroundShaderSource = R"(#version 120
// Kostrivane ground: two layers mixed by the vertex alpha, times the baked light.
uniform sampler2D stage0;
uniform sampler2D stage1;

void main()
{
    vec4 layer0 = texture2D(stage0, gl_TexCoord[1].st);
    vec4 layer1 = texture2D(stage1, gl_TexCoord[1].st);
    vec3 ground = mix(layer0.rgb, layer1.rgb, clamp(gl_Color.a, 0.0, 1.0));
    gl_FragColor = vec4(ground * gl_Color.rgb, 1.0);
}
)";

// The far ground: the baked picture of the two layers already mixed
// (TerrainRenderer_Bake.cpp), spanning the map once by texture set 0, times
// the baked light. One texture read a pixel instead of two.
inline constexpr const char* kFarGroundShaderPath = "Maps/gndFar.ps";

inline constexpr const char* kFarGroundShaderSource = R"(#version 120
// Kostrivane far ground: the baked ground picture times the baked light.
uniform sampler2D stage0;

void main()
{
    gl_FragColor = vec4(texture2D(stage0, gl_TexCoord[0].st).rgb * gl_Color.rgb, 1.0);
}
)";
