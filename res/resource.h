#pragma once

// Resource and control identifiers.

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_RELAY_DIALOG = 102;
inline constexpr int IDP_SOCKETS_INIT_FAILED = 103;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_BANNER = 130;
inline constexpr int IDC_HAND = 131;
inline constexpr int IDR_CONNECTION_MENU = 132;

inline constexpr int IDC_STATIC = -1;
inline constexpr int IDC_LISTEN_PORT = 1000;
inline constexpr int IDC_TARGET_PORT = 1001;
inline constexpr int IDC_TARGET_HOST = 1002;
inline constexpr int IDC_CLIENT_INTERFACE = 1003;
inline constexpr int IDC_START_FORWARDING = 1004;
inline constexpr int IDC_STOP = 1005;
inline constexpr int IDC_CONNECTIONS = 1006;
inline constexpr int IDC_LINK = 1007;
inline constexpr int IDC_BANNER = 1008;
inline constexpr int IDC_DOWNLOAD_NOW = 1009;
inline constexpr int IDC_FORWARDING_INTERFACE = 1010;

inline constexpr unsigned ID_MANAGECONNECTIONS_RECONNECT = 32771;
inline constexpr unsigned ID_MANAGECONNECTIONS_DISCONNECT = 32772;
inline constexpr unsigned ID_MANAGECONNECTIONS_CLOSECONNECTION = 32773;

inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
