#!/usr/bin/env python3
"""Mutation check: seeds small, plausible faults into the game one at a time and runs the
whole suite against each, to show which faults the tests would let through.

Each mutation is an exact text replacement in one file (the old text must occur exactly once),
so edits elsewhere in the file do not disturb it; one whose old text no longer matches is
reported as stale. A mutation is applied to a scratch copy of the tree under build/mutate/,
which is rebuilt incrementally in its own build directory; the suite then runs up to its first
failure. A failure counts only if the failing tests fail again when rerun, so a test that
stumbles under load does not pass for a catch.

  scripts/mutate.py                  every mutation, one at a time
  scripts/mutate.py panel- tank-aim  only the mutations whose names start with these
  scripts/mutate.py --list           the mutations and nothing else
  scripts/mutate.py --jobs 2         two mutations at once, each in its own copy

Environment: JOBS (build parallelism, default 2), MUTATE_TIMEOUT (seconds per test, 180),
BRAMBLESHOT_SOAK_FRAMES (frames of the soak, default here 3000).
"""

import argparse
import concurrent.futures
import filecmp
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "mutate")
SOURCE = ROOT  # the tree that is copied and mutated


@dataclass
class Mutation:
    name: str
    file: str
    old: str
    new: str
    equivalent: str = ""  # why the change cannot be seen; such mutations are not run


M = Mutation
MUTATIONS = [
    # --- gfx: the drawing layer ---------------------------------------------------------------
    M("gfx-spot-exponent-ignored", "src/gfx/lighting.cpp",
      "std::pow(std::max(cosine, 0.0), light.spotExponent)", "std::max(cosine, 0.0)"),
    M("gfx-attenuation-ignored", "src/gfx/lighting.cpp",
      "const double factor = attenuation * spot;", "const double factor = spot;"),
    M("gfx-matrices-multiplied-the-wrong-way", "src/gfx/context.cpp",
      "float sum = a[row] * b[column * 4];\n      for (std::size_t k = 1; k < 4; ++k)\n"
      "        sum += a[k * 4 + row] * b[column * 4 + k];",
      "float sum = b[row] * a[column * 4];\n      for (std::size_t k = 1; k < 4; ++k)\n"
      "        sum += b[k * 4 + row] * a[column * 4 + k];"),
    M("gfx-cylinder-normal-flipped", "src/gfx/shapes.cpp",
      "gl.normal(ring.sine[j] * xyNormal, ring.cosine[j] * xyNormal, zNormal);",
      "gl.normal(-ring.sine[j] * xyNormal, -ring.cosine[j] * xyNormal, -zNormal);"),
    M("gfx-half-vector-unnormalised", "src/gfx/lighting.cpp",
      "normalised({toLight[0], toLight[1], toLight[2] + 1.0})",
      "std::array<double, 3>{toLight[0], toLight[1], toLight[2] + 1.0}"),
    M("gfx-light-placed-without-the-modelview", "src/gfx/context.cpp",
      "const Vec4 eye = mv * Vec4{values[0], values[1], values[2], values[3]};",
      "const Vec4 eye = Vec4{values[0], values[1], values[2], values[3]};"),
    M("gfx-quad-strip-cut-the-other-way", "src/gfx/context.cpp",
      "        triangle(i + 2, i, i + 3, i + 3);\n        triangle(i, i + 1, i + 3, i + 3);",
      "        triangle(i, i + 1, i + 2, i + 3);\n        triangle(i + 1, i + 3, i + 2, i + 3);"),
    M("gfx-list-drawn-while-compiled", "src/gfx/context.cpp",
      "  if (recording()) return record({Command::begin, mode});",
      "  if (recording()) record({Command::begin, mode});"),
    M("gfx-sphere-cap-wound-backwards", "src/gfx/shapes.cpp",
      "    for (int j = slices; j >= 0; --j)\n      point(1, j);",
      "    for (int j = 0; j <= slices; ++j)\n      point(1, j);"),
    M("gfx-shader-ignores-the-texture", "src/gfx/shader_backend.cpp",
      "gl_FragColor = textured ? vColour * texture2D(picture, vTexCoord) : vColour;",
      "gl_FragColor = vColour;"),
    # --- demo: the writer and the reader ----------------------------------------------------
    M("demo-lines-written-one-by-one", "src/demo/demo_writer.cpp",
      "  if (length > 0) pending_.append(text, std::min<std::size_t>(length, sizeof text - 1));\n",
      "  if (length > 0) pending_.append(text, std::min<std::size_t>(length, sizeof text - 1));\n"
      "  writeOut();\n"),
    M("demo-short-write-not-cut-back", "src/demo/demo_writer.cpp",
      "if (::ftruncate(fd_, static_cast<off_t>(whole_)) != 0)", "if (false)"),
    M("demo-failed-frame-counted", "src/demo/demo_writer.cpp",
      "  if (writeOut()) ++frames_;", "  writeOut();\n  ++frames_;"),
    M("demo-writer-opens-fifos", "src/demo/demo_writer.cpp",
      "if (::stat(path.c_str(), &file) == 0 && !S_ISREG(file.st_mode))", "if (false)"),
    M("demo-writer-shares-the-messages-file", "src/demo/demo_writer.cpp",
      "  else if (shared)\n", "  else if (false)\n"),
    M("demo-end-line-failure-unsaid", "src/demo/demo_writer.cpp",
      "  if (failed_) {\n    error = path_", "  if (false) {\n    error = path_"),
    M("demo-reader-reads-fifos", "src/demo/demo_reader.cpp",
      "} else if (!S_ISREG(file.st_mode)) {", "} else if (S_ISDIR(file.st_mode)) {"),
    M("demo-reader-prints-control-bytes", "src/demo/demo_reader.cpp",
      "    if (byte >= 0x20 && byte != 0x7f) {", "    if (true) {"),
    M("demo-reader-end-counts-one-more", "src/demo/demo_reader.cpp",
      "kind == \"frame\" ? frames + 1 : frames;", "kind == \"frame\" ? frames + 1 : frames + 1;"),
    M("demo-recording-failure-exits-0", "src/app/demos.cpp",
      "  return recorder.hasFailed() ? kExitRecordingFailed : 0;", "  return 0;"),
    M("demo-replay-stop-ignored", "src/app/demos.cpp",
      "    if (replayStop) {\n      result.stoppedBecause", "    if (false) {\n      result.stoppedBecause"),
    M("demo-idle-run-not-watched", "src/app/demos.cpp",
      "    if (event.type != DemoEventType::frame && ++sinceLook >= kEventsBetweenLooks) {",
      "    if (false) {"),
    M("demo-display-loss-unhandled", "src/app/main.cpp",
      "  brambleshot::watchDisplay();\n", ""),
    # --- options: the command line ----------------------------------------------------------
    M("options-answer-write-unchecked", "src/app/options.cpp",
      "if (std::fputs(text, out) >= 0 && std::fflush(out) == 0 && !std::ferror(out))",
      "if (std::fputs(text, out) >= 0)"),
    M("options-record-and-play-together", "src/app/options.cpp",
      "  if (!options.recordFile.empty() && !options.playFile.empty()) {", "  if (false) {"),
    M("options-fast-without-play", "src/app/options.cpp",
      "  if (options.fast && options.playFile.empty()) {", "  if (false) {"),
    M("options-window-height-one-too-many", "src/app/options.cpp",
      "h < kMinWindowSide || h > kMaxWindowSide", "h < kMinWindowSide || h > kMaxWindowSide + 1"),
    M("options-empty-file-name-taken", "src/app/options.cpp",
      "      ok = file != nullptr && *file != '\\0';", "      ok = file != nullptr;"),
    M("options-glut-value-dropped", "src/app/options.cpp",
      "        argv[kept++] = argv[++i];", "        ++i;"),
    # --- app: the frame -------------------------------------------------------------------
    M("app-help-mirrored", "src/app/frame.cpp",
      "{1, 0, -1, -1, 0}, {1, 1, -1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, -1, 0}",
      "{0, 0, -1, -1, 0}, {0, 1, -1, 1, 0}, {1, 1, 1, 1, 0}, {1, 0, 1, -1, 0}"),
    M("app-help-depth-test-on", "src/app/frame.cpp",
      "  glEnable(GL_BLEND);\n  glDisable(GL_DEPTH_TEST);\n", "  glEnable(GL_BLEND);\n"),
    M("app-help-mask-and-page-swapped", "src/app/frame.cpp",
      "glBindTexture(GL_TEXTURE_2D, kHelpMaskTexture);", "glBindTexture(GL_TEXTURE_2D, kHelpTexture);"),
    M("app-backdrop-mirrored", "src/app/frame.cpp",
      "  glTexCoord2d(0, 1);\n  glVertex3d(8, -4, 5);\n  glTexCoord2d(0, 0);\n  glVertex3d(8, 8, 5);\n"
      "  glTexCoord2d(1, 0);\n  glVertex3d(-8, 8, 5);\n  glTexCoord2d(1, 1);\n",
      "  glTexCoord2d(1, 1);\n  glVertex3d(8, -4, 5);\n  glTexCoord2d(1, 0);\n  glVertex3d(8, 8, 5);\n"
      "  glTexCoord2d(0, 0);\n  glVertex3d(-8, 8, 5);\n  glTexCoord2d(0, 1);\n"),
    M("app-readouts-kills-escapes-swapped", "src/app/frame.cpp",
      "game.kills, game.escapes);", "game.escapes, game.kills);"),
    M("app-readouts-health-reload-swapped", "src/app/frame.cpp",
      "tank.health, tank.reload,", "tank.reload, tank.health,"),
    M("app-tank-drawn-in-the-frame-the-game-ends", "src/app/frame.cpp",
      "  squadron.updateAndDraw(game.paused);\n  if (!squadron.isGameOver()) {",
      "  const bool over = squadron.isGameOver();\n  squadron.updateAndDraw(game.paused);\n"
      "  if (!over) {"),
    M("app-weapons-run-while-paused", "src/app/frame.cpp",
      "    if (!game.paused) {\n      tank.updateCannon();", "    {\n      tank.updateCannon();"),
    M("app-sun-before-camera", "src/app/frame.cpp",
      "  lookThroughCamera();\n  // Sent after the view transform so the sun's direction stays fixed in the world.\n"
      "  applyLight(GL_LIGHT0, sunLight);\n",
      "  applyLight(GL_LIGHT0, sunLight);\n  lookThroughCamera();\n"),
    M("app-help-drawn-under-the-squadron", "src/app/frame.cpp",
      "  squadron.updateAndDraw(game.paused);\n",
      "  if (game.helpShown) {\n    glPushMatrix();\n    drawHelpOverlay();\n    glPopMatrix();\n  }\n"
      "  squadron.updateAndDraw(game.paused);\n"),
    # --- app: input and start-up ------------------------------------------------------------
    M("app-pause-keeps-idle", "src/app/input.cpp",
      "  game.paused = !game.paused;\n  glutIdleFunc(game.paused ? nullptr : idleCallback);",
      "  game.paused = !game.paused;\n  glutIdleFunc(idleCallback);"),
    M("app-resume-loses-idle", "src/app/input.cpp",
      "  game.paused = !game.paused;\n  glutIdleFunc(game.paused ? nullptr : idleCallback);",
      "  game.paused = !game.paused;\n  if (game.paused) glutIdleFunc(nullptr);"),
    M("app-idle-chance-tenfold", "src/app/input.cpp",
      "rand() % 100000 < 100)", "rand() % 100000 < 1000)"),
    M("app-idle-no-redisplay", "src/app/input.cpp",
      "before the frame\n  glutPostRedisplay();", "before the frame\n"),
    M("app-paused-frame-not-shown", "src/app/frame.cpp",
      "    glutSwapBuffers();\n    if (noteFinishedGame())", "    if (noteFinishedGame())"),
    M("app-new-game-drops-finished-game", "src/app/input.cpp",
      "  noteFinishedGame();\n  game.score = 0;", "  game.score = 0;"),
    M("app-played-frame-never-shown", "src/app/frame.cpp",
      "  if (!framePending) return;\n  framePending = false;\n  glutSwapBuffers();",
      "  if (!framePending) return;\n  framePending = false;"),
    M("app-fire-while-paused", "src/app/input.cpp",
      "if (!game.paused) tank.fire();", "tank.fire();"),
    M("app-motion-row-off-by-one", "src/app/input.cpp",
      "game.windowHeight - y - 1", "game.windowHeight - y"),
    M("app-new-game-keeps-escapes", "src/app/input.cpp", "  game.escapes = 0;\n", ""),
    M("app-hit-test-while-over", "src/app/input.cpp",
      "  if (squadron.isGameOver()) return false;  // a destroyed tank takes no more damage\n", ""),
    M("app-wreck-explosion-damaging", "src/app/input.cpp",
      "squadron.spawnExplosion(wreck, 0.6, false);", "squadron.spawnExplosion(wreck, 0.6, true);"),
    M("app-button-up-ignored", "src/app/input.cpp",
      "    if (state == GLUT_UP) tank.gunsFiring = false;\n", ""),
    M("app-startup-counters-kept", "src/app/startup.cpp",
      "  game.score = 0;\n  game.kills = 0;\n  game.escapes = 0;\n", ""),
    M("app-startup-pointer-shown", "src/app/startup.cpp", "  glutSetCursor(GLUT_CURSOR_NONE);\n", ""),
    M("app-startup-sleep-may-wake-late", "src/host/host_desktop.cpp",
      "PR_SET_TIMERSLACK, 1UL", "PR_SET_TIMERSLACK, 0UL"),
    M("app-startup-digits-swapped", "src/app/startup.cpp",
      '{"./Resources/num3.bmp", kDigitTexture + 3},\n      {"./Resources/num4.bmp", kDigitTexture + 4},',
      '{"./Resources/num3.bmp", kDigitTexture + 4},\n      {"./Resources/num4.bmp", kDigitTexture + 3},'),
    M("app-startup-no-passive-motion", "src/app/startup.cpp",
      "  glutPassiveMotionFunc(onMotion);\n", ""),
    M("app-startup-tank-before-squadron", "src/app/startup.cpp",
      "  squadron.init(tankHitTest, game.score, game.kills, game.escapes);\n  tank.init(camera);\n",
      "  tank.init(camera);\n  squadron.init(tankHitTest, game.score, game.kills, game.escapes);\n"),
    M("app-startup-no-depth-test", "src/app/startup.cpp", "  glEnable(GL_DEPTH_TEST);\n", ""),
    # --- world ------------------------------------------------------------------------------
    M("world-panel-not-mirrored", "src/world/game.cpp",
      "  g.orthoLeft = 4.0 / 3.0;\n  g.orthoRight = -4.0 / 3.0;",
      "  g.orthoLeft = -4.0 / 3.0;\n  g.orthoRight = 4.0 / 3.0;"),
    M("world-sun-brighter", "src/world/lighting.cpp",
      "                              {0.2f, 0.2f, 0.2f, 1.0f},\n                              {0.05f,",
      "                              {0.4f, 0.4f, 0.4f, 1.0f},\n                              {0.05f,"),
    M("world-sun-from-behind", "src/world/lighting.cpp",
      "{{0.0f, 2.0f, -1.0f, 0.0f},", "{{0.0f, 2.0f, 1.0f, 0.0f},"),
    M("world-weapon-light-wide", "src/world/lighting.cpp",
      "          90.0f,\n          10.0f,", "          120.0f,\n          10.0f,",
      equivalent="a spotlight's strength is the cosine of the angle off its axis, clamped at zero, to "
                 "the power of its exponent: beyond 90 degrees it is already zero, so a wider cut-off "
                 "lights nothing more"),
    M("world-weapon-light-diffuse-blue", "src/world/lighting.cpp",
      "          {0.5f, 0.5f, 0.0f, 1.0f},", "          {0.5f, 0.5f, 0.5f, 1.0f},"),
    M("world-hull-diffuse", "src/world/lighting.cpp",
      "const Material hullMaterial = {{0.2f, 0.2f, 0.2f, 1.0f},\n                               {0.6f, 0.6f, 0.6f, 1.0f},",
      "const Material hullMaterial = {{0.2f, 0.2f, 0.2f, 1.0f},\n                               {0.3f, 0.3f, 0.3f, 1.0f},"),
    M("world-shell-material-grey", "src/world/lighting.cpp",
      "{0.71875f, 0.44922f, 0.19922f, 1.0f},\n                                {0.71875f",
      "{0.5f, 0.5f, 0.5f, 1.0f},\n                                {0.71875f"),
    M("world-explosion-emission", "src/world/lighting.cpp",
      "                                    {1.0f, 1.0f, 1.0f, 1.0f},\n                                    0.0f};",
      "                                    {0.8f, 0.8f, 0.8f, 1.0f},\n                                    0.0f};"),
    # --- assets -----------------------------------------------------------------------------
    M("assets-bmp-no-red-blue-swap", "src/assets/bitmap.cpp",
      "    std::swap(pixel[i], pixel[i + 2]);\n", ""),
    M("assets-bmp-short-file-accepted", "src/assets/bitmap.cpp",
      "fileSize - sizeof header < dataSize", "fileSize - sizeof header + 3 < dataSize",
      equivalent="the read of the pixel block that follows fails with the same message for a file "
      "a few bytes short"),
    M("assets-material-no-emission", "src/assets/material.cpp",
      "  glMaterialfv(GL_FRONT, GL_EMISSION, material.emission);\n", ""),
    M("assets-material-specular-as-diffuse", "src/assets/material.cpp",
      "glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular);",
      "glMaterialfv(GL_FRONT, GL_SPECULAR, material.diffuse);"),
    M("assets-mesh-flat-normal-unscaled", "src/assets/mesh.cpp",
      "glNormal3d(normal.x * normalScale, normal.y * normalScale, normal.z * normalScale);",
      "glNormal3d(normal.x, normal.y, normal.z);"),
    M("assets-mesh-colour-kept-after-skip", "src/assets/mesh.cpp",
      "  if (colourSet) std::memcpy(face.colour, colour, sizeof colour);\n  return nullptr;",
      "  if (colourSet) std::memcpy(face.colour, colour, sizeof colour);\n  face.colour[3] = 1.0f;\n"
      "  return nullptr;"),
    # --- tank -------------------------------------------------------------------------------
    M("tank-weapon-light-twice-as-far", "src/tank/tank.cpp",
      "baseX + 0.25 * host::exactCos(a)", "baseX + 0.5 * host::exactCos(a)"),
    M("tank-cannon-light-at-ground", "src/tank/tank.cpp",
      "placeLight(cannonLight, x, 1.0, cannonAngle);", "placeLight(cannonLight, x, 0.0, cannonAngle);"),
    M("tank-gun-step-without-gunfire", "src/tank/tank.cpp",
      "    case 1:\n      glDisable(GL_LIGHT1);\n      glDisable(GL_LIGHT2);\n      break;",
      "    case 1:\n      glDisable(GL_LIGHT1);\n      glDisable(GL_LIGHT2);\n      return;"),
    M("tank-gun-lights-swapped", "src/tank/tank.cpp",
      "placeLight(leftGunLight, x + kGunMount, 0.0, leftGunAngle);",
      "placeLight(leftGunLight, x - kGunMount, 0.0, leftGunAngle);"),
    M("tank-wheel-moved", "src/tank/tank.cpp",
      "wheels[2].position = {-0.29, -0.1, -0.36};", "wheels[2].position = {-0.31, -0.1, -0.36};"),
    M("tank-wheels-unscaled", "src/tank/tank.cpp", "  wheels[0].scale = 0.3;\n", ""),
    M("tank-reset-keeps-health", "src/tank/tank.cpp", "  x = 0.0;\n  health = 250;\n", "  x = 0.0;\n"),
    M("tank-tracers-swapped", "src/tank/tank_draw.cpp",
      "drawLightGun(*this, 0.28, leftGunAngle, 0);\n  drawLightGun(*this, -0.28, rightGunAngle, 1);",
      "drawLightGun(*this, 0.28, leftGunAngle, 1);\n  drawLightGun(*this, -0.28, rightGunAngle, 0);"),
    M("tank-cannon-flash-longer", "src/tank/tank_draw.cpp", "if (reload > 490) {", "if (reload > 480) {"),
    M("tank-gun-flash-third-step", "src/tank/tank_draw.cpp",
      "tank.gunsFiring && tank.gunPhase == 1", "tank.gunsFiring && tank.gunPhase == 2"),
    M("tank-reticle-mirrored", "src/tank/tank_draw.cpp",
      "  glTexCoord2d(0, 0);\n  glVertex3d(-1, -1, 0);\n  glTexCoord2d(0, 1);\n  glVertex3d(-1, 1, 0);\n"
      "  glTexCoord2d(1, 1);\n  glVertex3d(1, 1, 0);\n  glTexCoord2d(1, 0);\n",
      "  glTexCoord2d(1, 0);\n  glVertex3d(-1, -1, 0);\n  glTexCoord2d(1, 1);\n  glVertex3d(-1, 1, 0);\n"
      "  glTexCoord2d(0, 1);\n  glVertex3d(1, 1, 0);\n  glTexCoord2d(0, 0);\n"),
    M("tank-flash-not-turned", "src/tank/tank_draw.cpp",
      "  glRotated(180.0, 0.0, 0.0, 1.0);\n  glScaled(0.05, 0.1, 0.0);", "  glScaled(0.05, 0.1, 0.0);"),
    M("tank-flash-mask-additive", "src/tank/tank_draw.cpp",
      "  glBlendFunc(GL_DST_COLOR, GL_ZERO);\n  glBindTexture(GL_TEXTURE_2D, mask);",
      "  glBlendFunc(GL_ONE, GL_ONE);\n  glBindTexture(GL_TEXTURE_2D, mask);"),
    M("tank-shell-without-material", "src/tank/tank_draw.cpp", "    applyMaterial(shellMaterial);\n", ""),
    M("tank-dome-raised", "src/tank/tank_draw.cpp",
      "  glTranslated(0.0, 0.05, 0.0);\n  drawShape(*this, kDome);",
      "  glTranslated(0.0, 0.15, 0.0);\n  drawShape(*this, kDome);"),
    M("tank-hull-unscaled", "src/tank/tank_draw.cpp", "  glScaled(0.8, 0.8, 0.8);\n", ""),
    M("tank-tracer-from-ground", "src/tank/tank_draw.cpp",
      "const double dy = tank.aimY - (tank.y + 0.1);", "const double dy = tank.aimY - tank.y;"),
    # --- enemies ----------------------------------------------------------------------------
    M("enemies-gun-kill-250", "src/enemies/squadron.cpp",
      "destroyAircraft(i, 200);", "destroyAircraft(i, 250);"),
    M("enemies-blast-kill-200", "src/enemies/explosions.cpp",
      "destroyAircraft(i, 250);", "destroyAircraft(i, 200);"),
    M("enemies-blast-bomb-50", "src/enemies/explosions.cpp", "destroyBomb(i, 75);", "destroyBomb(i, 50);"),
    M("enemies-shot-bomb-75", "src/enemies/squadron.cpp", "destroyBomb(i, 50);", "destroyBomb(i, 75);"),
    M("enemies-escape-costs-while-over", "src/enemies/squadron.cpp",
      "addScore(-aircraft[i].hitPoints);", "*score -= aircraft[i].hitPoints;"),
    M("enemies-kills-count-while-over", "src/enemies/squadron.cpp",
      "void Squadron::addScore(int amount) {\n  if (!gameOver) *score += amount;",
      "void Squadron::addScore(int amount) {\n  *score += amount;"),
    M("enemies-altitude-changed", "src/enemies/squadron.cpp",
      "{2.8, 3.1, 3.4, 3.8}", "{2.8, 3.1, 3.5, 3.8}"),
    M("enemies-gunfire-skips-bombs", "src/enemies/squadron.cpp",
      "    if (bombs[i].dead || !hitBoxContains(bombs[i], p)) continue;",
      "    if (bombs[i].dead || !hitBoxContains(bombs[i], p) || true) continue;"),
    M("enemies-aircraft-faces-away", "src/enemies/squadron.cpp", "  glRotated(180, 0, 1, 0);\n", ""),
    M("enemies-bomb-ground-at-zero", "src/enemies/bombs.cpp", "if (bombs[i].y < 0) {", "if (bombs[i].y <= 0) {"),
    M("enemies-bomb-nose-up", "src/enemies/bombs.cpp",
      "  glTranslated(0, -0.04, 0);\n", "  glTranslated(0, 0.04, 0);\n"),
    M("enemies-explosion-drawn-double", "src/enemies/explosions.cpp",
      "glScaled(radius, radius, radius);", "glScaled(2 * radius, 2 * radius, 2 * radius);"),
    M("enemies-explosion-light-stays", "src/enemies/explosions.cpp",
      "  if (!explosionLightOn) glDisable(GL_LIGHT4);\n", ""),
    M("enemies-tank-loss-ignored", "src/enemies/explosions.cpp",
      "if (hitTest != nullptr && hitTest(c, r)) gameOver = true;", "if (hitTest != nullptr) hitTest(c, r);"),
    M("enemies-shell-on-bomb-large", "src/enemies/squadron.cpp",
      "      spawnExplosion(p, 0.3, true);\n      return true;\n    }\n  }\n  return false;",
      "      spawnExplosion(p, 0.6, true);\n      return true;\n    }\n  }\n  return false;"),
    M("enemies-spark-lights", "src/enemies/explosions.cpp",
      "if (maxRadius > kSparkRadius && !explosionLightOn) {", "if (!explosionLightOn) {"),
    # --- panel ------------------------------------------------------------------------------
    M("panel-quad-mirrored", "src/panel/panel.cpp",
      "  glTexCoord2d(1, 1);\n  glVertex3d(0, 0, 0);\n  glTexCoord2d(0, 1);\n  glVertex3d(1, 0, 0);\n"
      "  glTexCoord2d(0, 0);\n  glVertex3d(1, 1, 0);\n  glTexCoord2d(1, 0);\n",
      "  glTexCoord2d(0, 1);\n  glVertex3d(0, 0, 0);\n  glTexCoord2d(1, 1);\n  glVertex3d(1, 0, 0);\n"
      "  glTexCoord2d(1, 0);\n  glVertex3d(1, 1, 0);\n  glTexCoord2d(0, 0);\n"),
    M("panel-digit-spacing", "src/panel/panel.cpp", "glTranslated(0.9, 0, 0);", "glTranslated(0.8, 0, 0);"),
    M("panel-minus-in-fifth-place", "src/panel/panel.cpp",
      "negative && k == places - 1", "negative && k == places - 2"),
    M("panel-reload-digit-rounds-up", "src/panel/panel.cpp",
      "int digit = reload / kReloadPerDigit;", "int digit = (reload + 49) / kReloadPerDigit;"),
    M("panel-labels-when-playing", "src/panel/panel.cpp",
      "if (gameOver) glCallList(hudPanel.gameOverList);", "if (!gameOver) glCallList(hudPanel.gameOverList);"),
    M("panel-health-label-lower", "src/panel/panel.cpp",
      "drawPlacedSquare(kHealthTexture, 0, -7.5, 1.3, 0.5);", "drawPlacedSquare(kHealthTexture, 0, -7.2, 1.3, 0.5);"),
    M("panel-lighting-left-off", "src/panel/panel.cpp",
      "  drawEscapes(escapes);\n  glDisable(GL_TEXTURE_2D);\n  glEnable(GL_LIGHTING);\n",
      "  drawEscapes(escapes);\n  glDisable(GL_TEXTURE_2D);\n",
      equivalent="the frame draws the mute mark and the backdrop next, and both switch lighting off "
                 "and on again themselves"),
    M("panel-white-not-set", "src/panel/panel.cpp",
      "  glEnable(GL_TEXTURE_2D);\n  glColor3f(1.0f, 1.0f, 1.0f);\n  glCallList(hudPanel.labelsList);",
      "  glEnable(GL_TEXTURE_2D);\n  glCallList(hudPanel.labelsList);"),
    # --- scores: the score file ---------------------------------------------------------------
    M("scores-temporary-opened-as-before", "src/scores/score_store.cpp",
      "    ::unlink(name.c_str());\n    const int fd = ::open(name.c_str(),\n"
      "                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);",
      "    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);"),
    M("scores-stale-temporary-kept", "src/scores/score_store.cpp", "    ::unlink(name.c_str());\n", ""),
    M("scores-lock-through-links", "src/scores/score_store.cpp",
      "O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC", "O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC"),
    M("scores-lock-any-file", "src/scores/score_store.cpp",
      "if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {", "if (::fstat(fd, &info) != 0) {"),
    M("scores-table-read-through-links", "src/scores/score_store.cpp",
      "O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW", "O_RDONLY | O_CLOEXEC | O_NONBLOCK"),
    M("scores-table-read-blocks", "src/scores/score_store.cpp",
      "O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW", "O_RDONLY | O_CLOEXEC | O_NOFOLLOW"),
    M("scores-table-any-file", "src/scores/score_store.cpp",
      "    } else if (!S_ISREG(info.st_mode)) {\n      failure = \"not a regular file\";\n    } else {",
      "    } else {"),
    M("scores-failed-open-is-damage", "src/scores/score_store.cpp",
      "  if (fd < 0) {\n    failure = errorText(errno);", "  if (fd < 0) {\n    damage = errorText(errno);"),
    M("scores-unreadable-table-saved-over", "src/scores/score_store.cpp",
      "left as it is, best scores are not saved\");\n    saving_ = false;",
      "left as it is, best scores are not saved\");"),
    M("scores-copy-replaces-copy", "src/scores/score_store.cpp",
      "AT_FDCWD, to, RENAME_NOREPLACE) == 0", "AT_FDCWD, to, 0) == 0"),
    M("scores-copies-capped-at-100", "src/scores/score_store.cpp",
      "n < kMaxAsideTries", "n < 100"),
    M("scores-stuck-damage-saved-over", "src/scores/score_store.cpp",
      "           \"): best scores are not saved\");\n    saving_ = false;\n",
      "           \"): best scores are not saved\");\n"),
    M("scores-years-from-1970", "src/scores/score_table.cpp",
      "entry.year >= kFirstScoreYear &&", "entry.year >= 1970 &&"),
    M("scores-last-year-clamped", "src/scores/score_store.cpp",
      "else if (year > kLastScoreYear)", "else if (year >= kLastScoreYear)"),
    M("scores-leap-centuries-ignored", "src/scores/score_table.cpp", " || year % 400 == 0;", ";"),
    M("scores-far-past-dated-last", "src/scores/score_store.cpp",
      "ScoreEntry date = when < 0 ? kFirst : kLast;", "ScoreEntry date = kLast;"),
    # --- audio: the sound player --------------------------------------------------------------
    M("audio-pan-mirrored", "src/audio/sound_player.cpp",
      "alSource3f(voice.source, AL_POSITION, static_cast<float>(x), listenerHeight_, 0.0f);",
      "alSource3f(voice.source, AL_POSITION, static_cast<float>(-x), listenerHeight_, 0.0f);"),
    M("audio-pause-stops-voices", "src/audio/sound_player.cpp",
      "allSources(alSourcePausev, alSourcePause,", "allSources(alSourceStopv, alSourceStop,"),
    M("audio-resume-finds-nothing", "src/audio/sound_player.cpp",
      "if (state == (paused ? AL_PLAYING : AL_PAUSED))", "if (state == AL_PLAYING)"),
    M("audio-starts-while-paused", "src/audio/sound_player.cpp",
      "if (!isOpen() || paused_ || muted_ ||", "if (!isOpen() || muted_ ||"),
    M("audio-starts-while-muted", "src/audio/sound_player.cpp",
      "if (!isOpen() || paused_ || muted_ ||", "if (!isOpen() || paused_ ||"),
    M("audio-pause-without-fade", "src/audio/sound_player.cpp",
      "    applyListenerGain();\n    const double quiet = afterGlide();",
      "    const double quiet = afterGlide();"),
    M("audio-one-hum", "src/audio/sound_player.cpp",
      "  for (int a = 0; a < count; ++a) {\n    if (heard[a]) continue;",
      "  for (int a = 0; a < std::min(count, 1); ++a) {\n    if (heard[a]) continue;"),
    M("audio-gain-doubled", "src/audio/sound_player.cpp",
      '{"tank.wav", 0.34f,', '{"tank.wav", 0.68f,'),
    M("audio-release-muted", "src/audio/sound_player.cpp",
      '{"release.wav", 0.16f,', '{"release.wav", 0.0f,'),
    M("audio-no-game-over-figure", "src/audio/sound_player.cpp",
      "{GameEvent::tankDestroyed, kTankBlast, kGameOver}",
      "{GameEvent::tankDestroyed, kTankBlast, kNoSound}"),
    M("audio-guns-lead-in-removed", "src/audio/sound_player.cpp",
      "gunsLeadIn_ = hasClock_ ? static_cast<int>(2 * period_ * gunsRate_) : 0;",
      "gunsLeadIn_ = 0;"),
    # --- pad: gamepads ------------------------------------------------------------------------
    M("pad-aim-axis-inverted", "src/pad/pad_mapper.cpp",
      "aimX_ + pad.rightX / tilt * speed", "aimX_ - pad.rightX / tilt * speed"),
    M("pad-sdl-vertical-axis-inverted", "src/pad/sdl_pads.cpp",
      "state.rightY = axis(", "state.rightY = -axis("),
    M("pad-dead-zone-removed", "src/pad/pad_mapper.h",
      "kAimDeadZone = 0.2;", "kAimDeadZone = 0.0;"),
    M("pad-button-mapped-to-the-wrong-action", "src/pad/pad_mapper.cpp",
      "{PadButton::x, 'n'}", "{PadButton::x, 'm'}"),
    M("pad-sdl-button-mapped-to-the-wrong-action", "src/pad/sdl_pads.cpp",
      "{PadButton::back, SDL_CONTROLLER_BUTTON_BACK}", "{PadButton::back, SDL_CONTROLLER_BUTTON_B}"),
    M("pad-steers-every-frame", "src/pad/pad_mapper.cpp",
      "++steerFrames_ >= kSteerRepeatFrames", "++steerFrames_ >= 1"),
    M("pad-guns-held-after-the-pad-goes", "src/pad/pad_mapper.cpp",
      "  if (gunsHeld_) sink.leftButton(false, pointerX, pointerY);\n", ""),
    M("pad-held-button-pressed-on-takeover", "src/pad/pad_mapper.cpp",
      "    previous_ = pad;\n    if (!pad.connected) return;",
      "    previous_ = PadState{};\n    previous_.id = pad.id;\n    if (!pad.connected) return;"),
    M("pad-last-connected-plays", "src/pad/sdl_pads.cpp",
      "SDL_GameController* controller = pads_[0].controller;",
      "SDL_GameController* controller = pads_[count_ - 1].controller;"),
    M("pad-hint-shown-without-a-pad", "src/app/frame.cpp",
      "    if (padConnected()) drawPadHint(aspect);", "    drawPadHint(aspect);"),
    M("pad-hint-shown-in-play", "src/app/frame.cpp",
      "    drawBestScores(scale);  // the help page stands alone\n    if (padConnected()) drawPadHint(aspect);\n  }",
      "    drawBestScores(scale);  // the help page stands alone\n  }\n  if (padConnected()) drawPadHint(aspect);"),
]


def log(text):
    print(text, flush=True)


def check_stale(mutations):
    """Old texts that do not occur exactly once; returns {name: reason}."""
    stale = {}
    for m in mutations:
        path = os.path.join(SOURCE, m.file)
        if not os.path.exists(path):
            stale[m.name] = f"{m.file} does not exist"
            continue
        with open(path, encoding="utf-8") as f:
            count = f.read().count(m.old)
        if count != 1:
            stale[m.name] = f"old text occurs {count} times in {m.file}"
    return stale


def names_pattern(tests):
    """A ctest regular expression that selects exactly the named tests."""
    return "^(" + "|".join(re.escape(t) for t in tests) + ")$"


def sync_tree(source, target):
    """Copies the working tree (without build/ and .git) into target; files gone from the
    source are removed. Only files whose content differs are copied, and they get a fresh
    mtime: a source file's older mtime would hide it from the build when the scratch copy's
    objects were last built from a mutated version."""
    wanted = set()
    for directory, dirs, files in os.walk(source):
        rel = os.path.relpath(directory, source)
        if rel == ".":
            dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        os.makedirs(os.path.join(target, rel), exist_ok=True)
        for name in files:
            src = os.path.join(directory, name)
            dst = os.path.normpath(os.path.join(target, rel, name))
            wanted.add(dst)
            if os.path.islink(src):
                continue
            try:
                if os.path.getsize(dst) == os.path.getsize(src) and filecmp.cmp(src, dst, shallow=False):
                    continue
            except FileNotFoundError:
                pass
            shutil.copyfile(src, dst)
            shutil.copymode(src, dst)
    for directory, _, files in os.walk(target):
        for name in files:
            path = os.path.normpath(os.path.join(directory, name))
            if path not in wanted:
                os.remove(path)


class Worker:
    """One scratch copy of the tree with its own build directory."""

    def __init__(self, index):
        self.tree = os.path.join(WORK, f"w{index}", "tree")
        self.build = os.path.join(WORK, f"w{index}", "build")
        self.log = os.path.join(WORK, f"w{index}", "log.txt")

    def run(self, command, cwd=None):
        with open(self.log, "a") as out:
            out.write(f"\n$ {' '.join(command)}\n")
            out.flush()
            return subprocess.run(command, cwd=cwd or self.tree, stdout=out, stderr=subprocess.STDOUT).returncode

    def prepare(self):
        os.makedirs(self.tree, exist_ok=True)
        open(self.log, "w").close()
        sync_tree(SOURCE, self.tree)
        if self.run(["cmake", "-S", self.tree, "-B", self.build, "-DCMAKE_BUILD_TYPE=Release"]) != 0:
            raise SystemExit(f"mutate: configuring the scratch copy failed; see {self.log}")
        if not self.compile():
            raise SystemExit(f"mutate: the unmutated tree does not build; see {self.log}")

    def compile(self):
        return self.run(["cmake", "--build", self.build, "-j", os.environ.get("JOBS", "2")]) == 0

    def ctest(self, *args):
        command = [os.path.join(self.tree, "scripts", "with-display.sh"), "ctest", "--test-dir",
                   self.build, "--timeout", os.environ.get("MUTATE_TIMEOUT", "180"), *args]
        return self.run(command)

    def failing_tests(self):
        path = os.path.join(self.build, "Testing", "Temporary", "LastTestsFailed.log")
        try:
            with open(path) as f:
                return [line.strip().split(":", 1)[-1] for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def suite(self):
        """Runs the suite up to its first failure; returns the tests that failed twice. A test
        that passes when rerun alone stumbled rather than caught the fault, and may have stopped
        the run before a real catch: the suite then runs again without it."""
        stumbled = []
        for _ in range(3):
            # Without the timings of earlier runs ctest keeps the suite's own order, quick unit
            # tests first, instead of starting with the slowest: most faults are caught sooner.
            costs = os.path.join(self.build, "Testing", "Temporary", "CTestCostData.txt")
            if os.path.exists(costs):
                os.remove(costs)
            skip = ["-E", names_pattern(stumbled)] if stumbled else []
            if self.ctest("-j", os.environ.get("CTEST_JOBS", "2"), "--stop-on-failure", *skip) == 0:
                return []
            first = self.failing_tests()
            # Rerun by name: ctest numbers the tests a run selects, so with -E the numbers that
            # --rerun-failed would use point at other tests.
            if not first or self.ctest("-R", names_pattern(first)) != 0:
                return self.failing_tests() or first or ["(ctest failed)"]
            stumbled += first
        return []

    def try_mutation(self, mutation):
        """Returns ("caught", tests), ("survived", []), ("stale", [reason]) or ("error", [reason])."""
        path = os.path.join(self.tree, mutation.file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        count = original.count(mutation.old)
        if count != 1:
            return "stale", [f"old text occurs {count} times in {mutation.file}"]
        with open(path, "w", encoding="utf-8") as f:
            f.write(original.replace(mutation.old, mutation.new, 1))
        try:
            if not self.compile():
                return "error", ["does not compile"]
            failed = self.suite()
            return ("caught", failed) if failed else ("survived", [])
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("names", nargs="*", help="run only mutations whose names start with one of these")
    parser.add_argument("--jobs", type=int, default=1, help="mutations tried at once (default 1)")
    parser.add_argument("--list", action="store_true", help="list the mutations and exit")
    parser.add_argument("--source", help="mutate a copy of this tree instead of the checkout (to measure another version of the tests)")
    parser.add_argument("--work", help="scratch directory (default build/mutate)")
    parser.add_argument("--no-check", action="store_true",
                        help="skip running the suite on the unmutated tree first")
    args = parser.parse_args()
    global SOURCE, WORK
    if args.source:
        SOURCE = os.path.abspath(args.source)
    if args.work:
        WORK = os.path.abspath(args.work)
    os.environ.setdefault("BRAMBLESHOT_SOAK_FRAMES", "3000")
    if shutil.which("ccache"):
        os.environ.setdefault("CMAKE_CXX_COMPILER_LAUNCHER", "ccache")

    names = {m.name for m in MUTATIONS}
    if len(names) != len(MUTATIONS):
        raise SystemExit("mutate: two mutations share a name")
    chosen = [m for m in MUTATIONS if not args.names or any(m.name.startswith(n) for n in args.names)]
    if args.list:
        for m in chosen:
            note = f"  (equivalent: {m.equivalent})" if m.equivalent else ""
            log(f"{m.name:45} {m.file}{note}")
        return 0
    if not chosen:
        raise SystemExit("mutate: no mutation matches " + " ".join(args.names))

    stale = check_stale(chosen)
    equivalent = [m for m in chosen if m.equivalent and m.name not in stale]
    runnable = [m for m in chosen if not m.equivalent and m.name not in stale]
    for name, reason in stale.items():
        log(f"STALE     {name}: {reason}")

    os.makedirs(WORK, exist_ok=True)
    workers = [Worker(i) for i in range(max(1, min(args.jobs, len(runnable))))]
    started = time.time()
    log(f"mutate: preparing {len(workers)} scratch cop{'y' if len(workers) == 1 else 'ies'} under {WORK}")
    for w in workers:
        w.prepare()
    if not args.no_check:
        failed = workers[0].suite()
        if failed:
            raise SystemExit("mutate: the suite fails without any mutation: " + ", ".join(failed))

    results = {}
    free = list(workers)

    def attempt(mutation):
        worker = free.pop()
        try:
            return mutation, worker.try_mutation(mutation)
        finally:
            free.append(worker)

    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        for mutation, (outcome, detail) in pool.map(attempt, runnable):
            results[mutation.name] = (outcome, detail)
            shown = ", ".join(detail[:3]) + (" ..." if len(detail) > 3 else "")
            log(f"{outcome.upper():9} {mutation.name}" + (f": {shown}" if shown else ""))

    for name, (outcome, detail) in results.items():
        if outcome == "stale":
            stale[name] = detail[0]
    caught = [n for n, (o, _) in results.items() if o == "caught"]
    survived = [n for n, (o, _) in results.items() if o == "survived"]
    errors = [n for n, (o, _) in results.items() if o == "error"]
    log("")
    for name in survived:
        m = next(m for m in MUTATIONS if m.name == name)
        log(f"survivor: {name} ({m.file})")
    for m in equivalent:
        log(f"equivalent, not counted: {m.name}: {m.equivalent}")
    for name in errors:
        log(f"error in the list: {name} does not compile")
    counted = len(caught) + len(survived)
    rate = 100.0 * len(caught) / counted if counted else 0.0
    # The kill rate of each subsystem, named by the mutations' prefix, in the list's order.
    subsystems = {}
    for m in chosen:
        tally = subsystems.setdefault(m.name.split("-", 1)[0], {"caught": 0, "counted": 0, "equivalent": 0})
        outcome = results.get(m.name, ("", []))[0]
        if m.equivalent:
            tally["equivalent"] += 1
        elif outcome in ("caught", "survived"):
            tally["counted"] += 1
            tally["caught"] += outcome == "caught"
    for prefix, tally in subsystems.items():
        part = 100.0 * tally["caught"] / tally["counted"] if tally["counted"] else 0.0
        log(f"  {prefix:10} {tally['caught']:3} of {tally['counted']:3} caught, kill rate {part:5.1f} %"
            + (f" ({tally['equivalent']} equivalent)" if tally["equivalent"] else ""))
    minutes = (time.time() - started) / 60
    log(f"mutate: {len(caught)} of {counted} caught, kill rate {rate:.1f} % (target 90 %); "
        f"{len(stale)} stale, {len(errors)} not compiling, {len(equivalent)} equivalent; {minutes:.0f} min")
    return 1 if stale or errors else 0


if __name__ == "__main__":
    sys.exit(main())
