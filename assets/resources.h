// Resource identifiers of the pictures embedded in relinka.exe.
#pragma once

#include "winlib/animation_resource.h"

#define IDI_RELINKA 1
#define IDI_GRAVAR 10
#define IDI_LER 11
#define IDI_AJUDA 12
#define IDI_SOBRE 13
#define IDI_ENCERRAR 14
#define IDI_DESCONECTAR 15
#define IDI_DESCONECTAR_TODOS 16
#define IDI_RETORNAR 17
#define IDI_VISITAR 18
#define IDI_SOBRE_WINDOW 19
#define IDI_MARK_DISCONNECTED 20
#define IDI_MARK_STOPPED 21
#define IDI_HISTORY_BUTTON 22
#define IDB_LOGO 30
#define IDG_BANNER_TOWER 40
#define IDG_BANNER_LINK 41
#define IDG_ABOUT_MAST 42
