; Shadow volume: a vertex stays by its face, pushed 0.4 along the light's ray, or, where its face
; turns towards the light (N . v < 0), moves away from the light to the end of the light's range,
; stopped at the far depth c1.z.
; c0 (0, 0.4, 0, 1)   c1 (light range, 0, far depth, 1)   c2 mesh centre offset (w 0)
; c3 (light position, or direction for directional lights, 1)   c4-c7 projection
; c8-c11 world x view   c12-c15 view (all transposed)
; In: v0 position   v1 the normal of the vertex's face
vs.2.0
def c16, 0.000001, 0, 0, 0
dcl_position v0
dcl_texcoord0 v1
sub r0, v0, c2
m4x4 r1, r0, c8
m3x3 r2.xyz, v1, c8
mov r3, c3
m4x4 r10, r3, c12
; v = the unit ray from the light through the point, len its length
sub r4.xyz, r1, r10
dp3 r5.x, r4, r4
rsq r5.y, r5.x
mul r4.xyz, r4, r5.y
rcp r5.z, r5.y
; E = P + v max(range - len, 0)
sub r5.w, c1.x, r5.z
max r5.w, r5.w, c0.x
mad r6.xyz, r4, r5.w, r1
; where E lies at or beyond the far depth, the point where the ray reaches it
sub r7.x, c1.z, r1.z
max r7.y, r4.z, c16.x
rcp r7.y, r7.y
mul r7.x, r7.x, r7.y
max r7.x, r7.x, c0.x
mad r7.xyz, r4, r7.x, r1
sge r8.x, r6.z, c1.z
lrp r9.xyz, r8.x, r7, r6
; O = P + v c0.y
mad r11.xyz, r4, c0.y, r1
dp3 r8.y, r2, r4
slt r8.y, r8.y, c0.x
lrp r6.xyz, r8.y, r9, r11
mov r6.w, r1.w
m4x4 oPos, r6, c4
