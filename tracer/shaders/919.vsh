; Shadow darkening: the noise lookup along the direction to the light and the distance to it.
; c0 (noise scale 20, 0.02, 0, 1)   c1 (light position, or direction for directional lights, 1)
; c2 mesh centre offset (w 0)   c4-c7 world x view x projection   c8-c11 world (both transposed)
; Out: t0 the unit direction to the light x c0.x   t1 the distance to the light, every component
vs.2.0
dcl_position v0
sub r0, v0, c2
m4x4 oPos, r0, c4
m4x4 r1, r0, c8
sub r2.xyz, c1, r1
dp3 r3.x, r2, r2
rsq r3.y, r3.x
mul r4.xyz, r2, r3.y
mul r4.xyz, r4, c0.x
mov r4.w, c0.w
mov oT0, r4
rcp r3.z, r3.y
mov oT1, r3.z
